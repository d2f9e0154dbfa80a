#!/usr/bin/env bash
# Escape tapped quickly under Xvfb (xdotool key: down and up at once, shorter
# than a frame) quits, just after start-up and with a cutaway on screen.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
. "$(dirname "$0")/quick_taps_lib.sh"

for run in 1 2 3; do
    start_viewer $run
    xdotool key Escape
    expect_quit $run
done
for run in 4 5; do
    start_viewer $run
    click_sphere 3
    expect_selected 3
    xdotool key Escape
    expect_quit $run
done
echo "quick Escape taps passed"
