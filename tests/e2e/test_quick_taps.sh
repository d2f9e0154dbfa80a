#!/usr/bin/env bash
# Quick taps under Xvfb, as a person types them (xdotool key: down and up at
# once, shorter than a frame): every F recentres, every quick Shift+click
# adds, with and without a cutaway on screen, and Escape then quits.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
. "$(dirname "$0")/quick_taps_lib.sh"

# Run 1: no cutaway (only spheres that cannot cut selected), then a cutaway.
start_viewer 1
for round in 1 2; do
    click_sphere 0
    expect_selected 0
    click_sphere 1 shift
    expect_selected 0 1
    focus_taps "no cutaway, round $round"
    xdotool mousemove --window "$WIN" 60 60 click 1
    wait_for 30 is_dim 0 || fail "clicking the background did not clear the selection"
done
click_sphere 2
expect_selected 2
click_sphere 3 shift
expect_selected 2 3
click_sphere 0 shift
expect_selected 0 2 3
focus_taps "cutaway"
xdotool key Escape
expect_quit 1
echo "quick taps passed"
