#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
#
# The Wine every Windows check runs in. Sourced by the checks; as a command it runs a Windows
# program there, which makes it CTest's emulator for the cross-built suites:
#     tests/windows/wine.sh PROGRAM.exe [ARGUMENT...]
# CTest sets, from tests/windows/CMakeLists.txt:
#   WINEPREFIX        a prefix of the build's own, made on first use
#   KT_WINE_DLL_DIRS  the folders of the DLLs the programs load (the cross Qt's, MinGW's),
#                     ':'-separated
# shellcheck shell=bash

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts, nor menu entries on this machine for the installer's shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Wine takes Windows paths; Z: is the whole Unix file system.
windows_path() { echo "Z:${1//\//\\}"; }

# Runs COMMAND until it succeeds, for SECONDS at the most, waiting for WHAT.
wait_for() {
    local deadline=$((SECONDS + $1)) what=$2
    until "${@:3}"; do
        [ $SECONDS -lt $deadline ] || fail "gave up waiting for $what"
        sleep 0.2
    done
}

# Makes the prefix once, whoever asks first. Wine's own fonts (fonts-wine: Tahoma, which the
# dialog font stands for ...) go where Windows keeps its fonts: Debian's Wine does not find them
# where the package puts them, and without them the window is drawn in a substitute serif.
wine_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] && exit 0
        DISPLAY='' "$WINE" wineboot --init >/dev/null 2>&1 || fail "wineboot failed"
        "$WINESERVER" -w
        dpkg-query -L fonts-wine | grep -i '\.ttf$' | xargs cp -t "$WINEPREFIX/drive_c/windows/Fonts/"
    ) 9>"$WINEPREFIX.lock" || exit 1
}

# Ends every program in the prefix: the next one starts a server of its own, on the display
# it is given (a running server keeps the display of its first program).
wine_stop() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w || true
}

# Windows' display scale in per cent, which Wine takes from LogPixels at a program's start.
wine_scale() {
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $(($1 * 96 / 100)) /f \
        >/dev/null || fail "could not set the display scale"
}

# Runs inside a virtual display. Starts the program $1 under Wine and prints the id of its
# window once it shows.
show_program() {
    (cd "$(dirname "$1")" && exec "$WINE" "$(basename "$1")") >>"$LOG_DIR/wine-program.log" 2>&1 &
    timeout 120 xdotool search --sync --onlyvisible --limit 1 --name "KT940-3" ||
        fail "the window of $1 did not show under Wine (log: $LOG_DIR/wine-program.log)"
}

# Saves a screenshot of window $1 to $2 once Qt has painted it: the window shows, still
# black, before its first paint.
painted() { import -window "$1" "$2" && [ "$(identify -format '%k' "$2")" -gt 1 ]; }
screenshot() { wait_for 30 "a painted window in $2" painted "$@"; }

WINEPATH=
IFS=: read -ra dll_dirs <<<"${KT_WINE_DLL_DIRS:-}"
for dir in "${dll_dirs[@]}"; do WINEPATH+="${WINEPATH:+;}$(windows_path "$dir")"; done
export WINEPATH
wine_prefix
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    exec "$WINE" "$@"
fi
