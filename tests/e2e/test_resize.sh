#!/usr/bin/env bash
# The window manager resizes the real viewer's window to 1000 x 600: the
# picture must fill the new size (the globe centred, nothing cut off) and a
# click on the moon must pick it: Delete, then savescene, and the saved scene
# no longer holds the moon.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

start_session
start_torv "$WORK"

xdotool windowsize "$WIN" 1000 600
geometry() { xdotool getwindowgeometry "$WIN" | awk '/Geometry/ { print $2 }'; }
wait_for 30 test "$(geometry)" = 1000x600 || fail "window is $(geometry), not 1000x600"
xdotool windowfocus "$WIN" 2>/dev/null

# Bounds of the globe (non-white pixels left of x = 600) and centre of the
# moon (grey pixels right of it), as "gx0 gy0 gx1 gy1 mx my n".
measure() {
    pixels "$1" | awk '{
        x = (NR - 1) % 1000; y = int((NR - 1) / 1000); r = $1; g = $2; b = $3
        if (r > 240 && g > 240 && b > 240) next
        if (x < 600) {
            if (n == 0 || x < x0) x0 = x; if (n == 0 || x > x1) x1 = x
            if (n == 0 || y < y0) y0 = y; if (n == 0 || y > y1) y1 = y; n++
        } else if (r > 60 && r < 220 && (r - g) ^ 2 < 150 && (g - b) ^ 2 < 150) { mx += x; my += y; m++ }
    } END { if (m > 0) printf "%d %d %d %d %d %d %d\n", x0, y0, x1, y1, mx / m, my / m, m; else print "" }'
}
# The first frames at the new size may still be on their way: poll until
# the picture is centred.
centred() {
    shot "$WORK/resized.png"
    read -r GX0 GY0 GX1 GY1 MX MY MN <<<"$(measure "$WORK/resized.png")"
    [ -n "${MN:-}" ] || return 1
    awk -v a="$GX0" -v b="$GY0" -v c="$GX1" -v d="$GY1" 'BEGIN {
        cx = (a + c) / 2; cy = (b + d) / 2; r = (d - b) / 2
        exit !(cx > 496 && cx < 504 && cy > 296 && cy < 304 && b > 5 && (c - a) / 2 - r < 3 && r - (c - a) / 2 < 3) }'
}
end=$((SECONDS + 60))
until centred; do
    [ $SECONDS -lt $end ] || fail "picture not centred in 1000x600: globe $GX0,$GY0-$GX1,$GY1"
    sleep 0.5
done
echo "globe $GX0,$GY0-$GX1,$GY1, moon at $MX,$MY ($MN px)"

# Delete once a frame has taken the click (taken in one frame, Delete would
# go first, with nothing selected yet).
moon_gone() { read -r _ _ _ _ _ _ MN <<<"$(measure "$1")"; [ "${MN:-0}" -eq 0 ]; }
click_seen "$MX" "$MY" || fail "the click on the moon showed nothing"
key Delete
wait_shot "$WORK/deleted.png" 30 moon_gone || fail "Delete left the moon"
console_command "savescene after.sce"
wait_for 30 test -s "$WORK/scenes/after.sce" || fail "savescene wrote nothing"
grep -q '^file globe_crust.obj$' "$WORK/scenes/after.sce" || fail "the globe went too: $(cat "$WORK/scenes/after.sce")"
! grep -q 'moon' "$WORK/scenes/after.sce" || fail "the click did not pick the moon"
[ "$(grep -c '^meshnode' "$WORK/scenes/after.sce")" = 4 ] || fail "expected 4 models left"

quit_torv
echo "resized window test passed"
