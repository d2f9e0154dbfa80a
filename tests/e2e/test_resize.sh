#!/usr/bin/env bash
# The window manager resizes the real viewer's window to 1000 x 600: the
# picture must fill the new size (the globe centred, nothing cut off) and a
# click on the moon must pick it: Delete, then savescene, and the saved scene
# no longer holds the moon.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

WORK=$(mktemp -d)
trap 'kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/scenes"
for d in shaders fonts models; do ln -s "$ROOT/$d" "$WORK/$d"; done
cp "$ROOT/scenes/s_test.sce" "$WORK/scenes/s_test.sce"

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK"

xdotool windowsize "$WIN" 1000 600
geometry() { xdotool getwindowgeometry "$WIN" | awk '/Geometry/ { print $2 }'; }
wait_for 30 test "$(geometry)" = 1000x600 || fail "window is $(geometry), not 1000x600"
xdotool windowfocus "$WIN" 2>/dev/null

shot() { import -window "$WIN" "$1" 2>/dev/null; }
# Bounds of the globe (non-white pixels left of x = 600) and centre of the
# moon (grey pixels right of it), as "gx0 gy0 gx1 gy1 mx my n".
measure() {
    convert "$1" -depth 8 txt:- 2>/dev/null | awk -F'[(),: ]+' 'NR > 1 {
        x = $1 + 0; y = $2 + 0; r = $3 + 0; g = $4 + 0; b = $5 + 0
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

# A click and a Delete taken in one frame leave the moon (Delete goes first,
# with nothing selected yet): click and Delete again until it is gone.
moon_gone() { read -r _ _ _ _ _ _ MN <<<"$(measure "$1")"; [ "${MN:-0}" -eq 0 ]; }
for _ in 1 2 3 4 5; do
    xdotool mousemove --window "$WIN" "$MX" "$MY" click 1
    key Delete
    wait_shot "$WORK/deleted.png" 10 moon_gone && break
done
console_command "savescene after.sce"
wait_for 30 test -s "$WORK/scenes/after.sce" || fail "savescene wrote nothing"
grep -q '^file globe_crust.obj$' "$WORK/scenes/after.sce" || fail "the globe went too: $(cat "$WORK/scenes/after.sce")"
! grep -q 'moon' "$WORK/scenes/after.sce" || fail "the click did not pick the moon"
[ "$(grep -c '^meshnode' "$WORK/scenes/after.sce")" = 4 ] || fail "expected 4 models left"

xdotool keydown Escape; wait_for 60 test -s "$RC"; xdotool keyup Escape 2>/dev/null
[ "$(cat "$RC" 2>/dev/null)" = "0" ] || fail "exit status $(cat "$RC" 2>/dev/null)"
echo "resized window test passed"
