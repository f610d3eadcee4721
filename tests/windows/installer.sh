#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
#
# usage: tests/windows/installer.sh INSTALLER UNPACKED_ZIP VERSION LOG_DIR
# Runs on a virtual display. Installs silently, as one user without administrator rights, and
# checks the files against the zip's, the Start-menu entry and the "Apps & features" entry;
# starts the installed program; uninstalls silently and checks that nothing of ours is left,
# on disk or in the registry.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/wine.sh"
installer=$1 stage=$2 version=$3 LOG_DIR=$4

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kt940-terminal'
wine_stop
unix_path() { "$WINE" cmd /c winepath -u "$1" | tr -d '\r'; }
dir=$(unix_path '%LOCALAPPDATA%\Programs\KT940-3 USB-CAN Terminal')
shortcut=$(unix_path '%APPDATA%\Microsoft\Windows\Start Menu\Programs\KT940-3 USB-CAN Terminal.lnk')
registry() { cat "$WINEPREFIX"/*.reg | sort -u; }
registry >"$LOG_DIR/registry-before.txt"

"$WINE" "$installer" /S
"$WINESERVER" -w
diff <(cd "$stage" && find . -type f | sort) <(cd "$dir" && find . -type f ! -name Uninstall.exe | sort) ||
    fail "the installed folder $dir differs from the zip (above)"
[ -f "$dir/Uninstall.exe" ] || fail "no uninstaller in $dir"
[ -f "$shortcut" ] || fail "no Start-menu entry $shortcut"
entry=$("$WINE" reg query "$key" | tr -d '\r')
for value in "DisplayName.*KT940-3 USB-CAN Terminal" "DisplayVersion.*$version" \
    "Publisher.*The kt940-terminal developers" "UninstallString.*Uninstall.exe"; do
    grep -q "$value" <<<"$entry" || fail "the Apps & features entry lacks $value: $entry"
done
echo "Installed for this user without administrator rights: $dir, a Start-menu entry and an Apps & features entry"

show_program "$dir/kt940-terminal.exe" >/dev/null
echo "The installed program shows its window"
wine_stop

"$WINE" "$dir/Uninstall.exe" /S
# The uninstaller runs on as a copy of itself, so that it can delete the original.
"$WINESERVER" -w
[ ! -e "$dir" ] || fail "the uninstaller left $dir: $(cd "$dir" && find . | head)"
[ ! -e "$shortcut" ] || fail "the uninstaller left $shortcut"
! "$WINE" reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left $key"
left=$(registry | comm -13 "$LOG_DIR/registry-before.txt" - | grep -i 'kt940' || true)
[ -z "$left" ] || fail "the uninstaller left in the registry: $left"
echo "The silent uninstall left no file and no registry key of ours"
