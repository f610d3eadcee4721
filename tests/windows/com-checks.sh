#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
#
# usage: tests/windows/com-checks.sh receive|removal TST_COMPORT.exe ADAPTER_SIM PTYMODEM.so LOG_DIR
# Runs on a virtual display: Wine makes no window without an X server, not even Qt's hidden
# one for its event loop. Starts a simulated adapter (built for Linux) behind each COM port the
# suite tst_comport uses, maps the ports to them in Wine's registry and runs the suite with
# ptymodem preloaded into Wine:
#   receive  the echo's answer, a 30 s flood at the line rate, Close and a vanishing adapter
#            during a flood, 20 times each, on the offscreen platform
#   removal  Windows' report that another port, then the open one, has gone, to the real
#            window on Qt's windows platform
# Leaves each simulator's output and the suite's report in LOG_DIR.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/wine.sh"
mode=$1 suite=$2 sim=$3 ptymodem=$4 LOG_DIR=$5

ROUNDS=20
# 115200 baud with 8N1 carries 11520 bytes a second.
RATE=11520
FLOOD_SECONDS=30

dir=$LOG_DIR/$mode
rm -rf "$dir"
mkdir -p "$dir"
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT

# Starts a simulator for PORT with the remaining arguments; it prints its device first.
ports=()
start_sim() {
    "$sim" "${@:2}" >"$dir/$1.out" 2>"$dir/$1.err" &
    ports+=("$1")
}

if [ "$mode" = receive ]; then
    start_sim COM11
    start_sim COM12 --flood "$RATE" --seconds "$FLOOD_SECONDS" --drain-timeout 120000
    # Floods through every round of Close; ended with the others.
    start_sim COM13 --flood "$RATE" --seconds 3600
    for ((n = 21; n < 21 + ROUNDS; n++)); do
        start_sim "COM$n" --flood "$RATE" --seconds "$FLOOD_SECONDS" --vanish-after 1000
    done
    vanish=("${ports[@]:3}")
    export KT940_COM_ECHO=COM11 KT940_COM_FLOOD=COM12 KT940_COM_CLOSE=COM13
    export KT940_CLOSE_ROUNDS=$ROUNDS KT940_COM_VANISH QT_QPA_PLATFORM=offscreen
    KT940_COM_VANISH=$(IFS=, && echo "${vanish[*]}")
    arguments=(echoAnswer flood closeDuringFlood vanishDuringFlood)
else
    start_sim COM15
    export KT940_COM_REMOVAL=COM15
    arguments=(removal -platform windows)
fi

# Wine's mount manager makes the dosdevices links of the ports from its registry key when the
# prefix starts.
device() { head -n 1 "$dir/$1.out"; }
mapped() { [ "$(readlink "$WINEPREFIX/dosdevices/${1,,}")" = "$(device "$1")" ]; }
reg=$dir/ports.reg
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n' >"$reg"
for port in "${ports[@]}"; do
    wait_for 20 "the simulator for $port (see $dir/$port.err)" test -s "$dir/$port.out"
    printf '"%s"="%s"\n' "$port" "$(device "$port")" >>"$reg"
done
wine_stop
"$WINE" reg import "$(windows_path "$reg")" >/dev/null 2>&1 || fail "reg import failed"
wine_stop
"$WINE" cmd /c exit >/dev/null 2>&1 || true
for port in "${ports[@]}"; do wait_for 60 "Wine to map $port" mapped "$port"; done

status=0
(
    export KT940_SIM_DIR
    KT940_SIM_DIR=$(windows_path "$dir")
    # QtTest's standard output gets lost under Wine; its report goes to a file.
    LD_PRELOAD=$ptymodem exec timeout 1200 "$WINE" "$suite" "${arguments[@]}" \
        -o "$(windows_path "$dir/tst_comport.txt"),txt"
) >"$dir/wine.log" 2>&1 || status=$?
wine_stop

touch "$dir/tst_comport.txt"
grep -E '^(PASS|FAIL|SKIP|QINFO|QWARN|Totals)|Loc:' "$dir/tst_comport.txt" |
    grep -v 'TestComPort::\(init\|cleanup\)TestCase' || true
[ $status -eq 0 ] || fail "tst_comport failed (exit $status), see $dir/tst_comport.txt and $dir/wine.log"
! grep -q '^SKIP' "$dir/tst_comport.txt" || fail "tst_comport skipped a check (above)"
if [ "$mode" = receive ]; then
    grep -q "^FLOOD total=$((RATE * FLOOD_SECONDS)) " "$dir/COM12.out" ||
        fail "the flood was not $((RATE * FLOOD_SECONDS)) bytes: $(grep FLOOD "$dir/COM12.out")"
fi
