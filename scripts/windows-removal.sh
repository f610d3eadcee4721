# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT

# scripts/windows's check of a port whose device leaves while the port is idle, under Wine.
# shellcheck shell=bash
#
# The simulated adapter's pseudo-terminal is COM5 throughout; tools/port-removal tells every
# window that a port's device has gone, as Windows does when a USB adapter is pulled. A removal
# of another port must leave COM5 working; a removal of COM5 must drop it: the Error box
# shows, and Wine lets go of the pseudo-terminal.

# The processes other than the simulator that hold the pseudo-terminal $1 open (Wine's server
# and the program, while COM5 is open).
pty_holders() {
    local fd
    for fd in /proc/[0-9]*/fd/*; do
        [ "$(readlink "$fd" 2>/dev/null)" = "$1" ] || continue
        fd=${fd#/proc/}
        [ "${fd%%/*}" = "$SIM_PID" ] || echo "${fd%%/*}"
    done | sort -u
}

# Runs inside a virtual display, after gui_checks' functions are defined.
removal_check() {
    set -euo pipefail
    "$SIM" >"$SIM_OUT" 2>"$WIN_BUILD_DIR/adapter-sim.err" &
    SIM_PID=$!
    trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
    wait_for_line / 10 || die "the simulated adapter did not start"
    local pty win
    pty=$(head -n 1 "$SIM_OUT")
    "$WINE" reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$pty" /f >/dev/null
    stop_program
    win=$(start_program)
    # Wine's mount manager makes the dosdevices/com5 link while the program starts.
    local deadline=$((SECONDS + 30))
    until [ "$(readlink "$WINEPREFIX/dosdevices/com5")" = "$pty" ]; do
        [ $SECONDS -lt $deadline ] || die "Wine did not map COM5 to $pty"
        sleep 0.2
    done
    click "$win" 960 31
    xdotool type --delay 50 COM5
    xdotool key Return
    click "$win" 930 61 # Open
    click "$win" 960 161 # Send Echo
    if ! wait_for_line '^ECHO' 30; then
        import -window root "$WIN_BUILD_DIR/screenshot-removal.png"
        die "COM5 did not open (see $SIM_OUT and $WIN_BUILD_DIR/screenshot-removal.png)"
    fi
    [ -n "$(pty_holders "$pty")" ] || die "nothing but the simulator holds $pty while COM5 is open"

    # The broadcast returns once every window has handled it.
    "$WINE" "$REMOVAL" COM7 || die "port-removal COM7 failed"
    click "$win" 960 161
    deadline=$((SECONDS + 30))
    until [ "$(grep -c '^ECHO' "$SIM_OUT")" -ge 2 ]; do
        [ $SECONDS -lt $deadline ] || die "COM5 stopped sending when COM7 was removed"
        sleep 0.2
    done
    ! xdotool search --name '^Error$' >/dev/null || die "the removal of COM7 brought up an error"
    echo "Removing COM7 left COM5 open: the next echo frame reached the simulated adapter"

    "$WINE" "$REMOVAL" '\\.\COM5' || die "port-removal COM5 failed"
    local box
    box=$(timeout 30 xdotool search --sync --onlyvisible --name '^Error$' | head -n 1) || true
    import -window root "$WIN_BUILD_DIR/screenshot-removal.png"
    [ -n "$box" ] || die "no Error box when COM5 was removed (see $WIN_BUILD_DIR/screenshot-removal.png)"
    deadline=$((SECONDS + 30))
    until [ -z "$(pty_holders "$pty")" ]; do
        [ $SECONDS -lt $deadline ] || die "COM5 still holds $pty after its removal"
        sleep 0.2
    done
    stop_program
    echo "Removing COM5 dropped it and showed the Error box: $WIN_BUILD_DIR/screenshot-removal.png"
}

run_removal_check() {
    configure_and_build adapter-sim >/dev/null
    export SIM=$BUILD_DIR/tools/adapter-sim/adapter-sim SIM_OUT=$WIN_BUILD_DIR/adapter-sim-removal.out
    export REMOVAL=$WIN_BUILD_DIR/tools/port-removal/port-removal.exe
    export STAGE WIN_BUILD_DIR WINE
    # xvfb-run is a POSIX shell script, which drops exported functions: they go in the command.
    "$ROOT/scripts/virtual-display" bash -c \
        "$(declare -f die start_program stop_program wait_for_line click pty_holders \
            removal_check); removal_check"
}
