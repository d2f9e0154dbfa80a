#!/usr/bin/env bash
# The real viewer under Xvfb: the window titled "Torv" opens at 800 x 800,
# prints the fps line, and Escape ends it with status 0. A frame rate limit
# that is no number is refused in one line and the viewer runs on.
set -u
BUILD=${1:?build directory}
. "$(dirname "$0")/xvfb_lib.sh"
start_xvfb || exit 1
trap 'kill $APP 2>/dev/null; stop_xvfb; rm -f "${OUT:-}" "${RC:-}"' EXIT

OUT=$(mktemp)
RC=$(mktemp -u)
TORV_MAX_FPS=fast launch_viewer "$PWD"
GEOM=$(xdotool getwindowgeometry "$WIN" | grep Geometry | awk '{print $2}')
[ "$GEOM" = "800x800" ] || fail "window is $GEOM, not 800x800"

wait_for 120 grep -q ' fps$' "$OUT" || fail "no fps line: $(cat "$OUT")"
grep -qx "torv: TORV_MAX_FPS must be a positive number of frames a second; ignored" "$OUT" ||
    fail "TORV_MAX_FPS=fast was not refused: $(cat "$OUT")"
grep -E '^[0-9.e+-]+ fps$' "$OUT" >/dev/null || fail "malformed fps line: $(grep fps "$OUT")"

xdotool windowactivate --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
# The loop polls Escape once a frame, so hold it until the program ends.
xdotool keydown --window "$WIN" Escape
wait_for 60 test -s "$RC"
xdotool keyup --window "$WIN" Escape 2>/dev/null
test -s "$RC" || fail "Escape did not end the program"
STATUS=$(cat "$RC")
[ $STATUS -eq 0 ] || fail "exit status $STATUS"
echo "window test passed: $(grep fps "$OUT" | head -n1)"
