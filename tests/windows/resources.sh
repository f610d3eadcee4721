#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
# Reads back from the cross-built program what Windows shows of it and how it runs it: the GUI
# subsystem (no console window beside it), the icon at every size in its group, the version
# resource and the manifest.
#
# usage: tests/windows/resources.sh EXE OBJDUMP PROJECT_VERSION PRODUCT_NAME
# Exits with 77 (skipped) when icoutils is missing.
set -euo pipefail

exe=${1:?usage: $0 EXE OBJDUMP PROJECT_VERSION PRODUCT_NAME}
objdump=${2:?}
version=${3:?}
product=${4:?}

if ! command -v wrestool >/dev/null || ! command -v icotool >/dev/null; then
    echo "SKIP: wrestool and icotool (Debian package icoutils) are missing"
    exit 77
fi

failed=0
check() {
    if [ "$2" = "$3" ]; then
        echo "PASS: $1: $2"
    else
        echo "FAIL: $1: '$2', expected '$3'"
        failed=1
    fi
}

subsystem=$("$objdump" -p "$exe" | sed -n 's/^Subsystem\s*\(.*\)$/\1/p')
check "subsystem" "$subsystem" "$(printf '00000002\t(Windows GUI)')"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
wrestool --extract --type=group_icon --output="$scratch" "$exe"
sizes=$(icotool --list "$scratch"/*.ico | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | xargs)
check "icon sizes" "$sizes" "16 24 32 48 64 128 256"

# The strings are UTF-16 with padding; without the zero bytes each key runs into its value.
wrestool --extract --raw --type=version "$exe" | tr -d '\0' >"$scratch/version"
for field in "ProductName$product" "FileDescription$product" "FileVersion$version" \
    "ProductVersion$version" "OriginalFilenamekt940-terminal.exe" \
    "LegalCopyrightCopyright (C) 2026 The kt940-terminal developers. MIT licence."; do
    if grep -qaF "$field" "$scratch/version"; then found=yes; else found=no; fi
    check "version resource holds $field" "$found" yes
done
# Run as the user who starts it, on Windows 7 to 11 as a program that knows them; DPI is left
# to Qt.
wrestool --extract --raw --type=24 "$exe" >"$scratch/manifest"
for entry in 'level="asInvoker"' 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
    1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    if grep -qF "$entry" "$scratch/manifest"; then found=yes; else found=no; fi
    check "manifest holds $entry" "$found" yes
done
if grep -qi 'dpiAware' "$scratch/manifest"; then found=yes; else found=no; fi
check "manifest declares DPI awareness" "$found" no
exit "$failed"
