#!/usr/bin/env bash
# The selection outline in the real window under Xvfb: a click on the moon
# draws an outline around it that a window capture shows; the screenshot
# command leaves it out unless asked, and so does torv-render.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

WORK=$(mktemp -d)
APP=
trap '[ -n "$APP" ] && kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/run"

# Orange outline pixels inside a rectangle of a picture.
outline_pixels() { count_pixels "$1" "$2" "$3" "$4" "$5" orange; }
MOON="540 250 650 355" # around the moon of the start scene, seen from the start camera

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK/run"
shot "$WORK/before.png"
[ "$(outline_pixels "$WORK/before.png" $MOON)" -lt 5 ] || fail "an outline before anything was selected"

# Off the moon once the click is seen, so what remains is the selection's
# outline, not the hover's.
moon_outlined() { shot "$WORK/after.png" && [ "$(outline_pixels "$WORK/after.png" $MOON)" -gt 150 ]; }
click_seen 592 300 || fail "the click on the moon showed nothing"
xdotool mousemove --window "$WIN" 100 700
wait_for 30 moon_outlined ||
    fail "no outline around the selected moon: $(outline_pixels "$WORK/after.png" $MOON) pixels"
echo "outline around the moon: $(outline_pixels "$WORK/after.png" $MOON) pixels"

open_console
type_command "screenshot plain.png"
type_command "screenshot outlined.png 1 --outline"
close_console
wait_for 60 test -s "$WORK/run/outlined.png" || fail "no screenshots: $(ls "$WORK/run")"
[ "$(outline_pixels "$WORK/run/plain.png" $MOON)" -lt 5 ] || fail "the plain screenshot has the outline"
[ "$(outline_pixels "$WORK/run/outlined.png" $MOON)" -gt 150 ] || fail "screenshot --outline has none"
quit_torv

(cd "$WORK/run" && "$BUILD/torv-render" "$ROOT/scenes/s_test.sce" --select 4 \
    --output "$WORK/render.png" >/dev/null && "$BUILD/torv-render" \
    "$ROOT/scenes/s_test.sce" --select 4 --outline --output "$WORK/render-outline.png" \
    >/dev/null) || fail "torv-render failed"
[ "$(outline_pixels "$WORK/render.png" $MOON)" -lt 5 ] || fail "torv-render drew an outline unasked"
[ "$(outline_pixels "$WORK/render-outline.png" $MOON)" -gt 150 ] || fail "torv-render --outline drew none"
echo "outline session passed"
