#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
#
# usage: tests/windows/scales.sh PROGRAM.exe LOG_DIR
# Runs on a virtual display. Shows the window at the display scales Windows offers, saves a
# screenshot of each (LOG_DIR/screenshot-100.png ...) and checks that the window grows in
# proportion.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/wine.sh"
program=$1 LOG_DIR=$2

trap 'wine_scale 100; wine_stop' EXIT
base=
for scale in 100 125 150 200; do
    wine_stop
    wine_scale $scale
    win=$(show_program "$program")
    size=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
    screenshot "$win" "$LOG_DIR/screenshot-$scale.png"
    echo "$scale %: the window is $size ($LOG_DIR/screenshot-$scale.png)"
    width=${size%x*} height=${size#*x}
    base=${base:-$size}
    # Within a pixel or two of rounding.
    want_w=$((${base%x*} * scale / 100)) want_h=$((${base#*x} * scale / 100))
    off_w=$((width - want_w)) off_h=$((height - want_h))
    ((${off_w#-} <= 2 && ${off_h#-} <= 2)) ||
        fail "at $scale % the window is $size, not ${want_w}x$want_h as it scales"
done
