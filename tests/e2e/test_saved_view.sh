#!/usr/bin/env bash
# The real viewer under Xvfb: a view built in the window (orbit, zoom, a
# selection, ghost lines) and saved renders the same picture in torv-render
# without options; loaded again in the window it comes back as it was; a
# scene file without a view is framed when loaded.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

start_session
# The globe far off to the side, with no view lines.
sed 's/^t 0 0 0$/t 60 0 0/' "$ROOT/scenes/s_test.sce" >"$WORK/scenes/aside.sce"
(cd "$WORK" && "$BUILD/torv-render" scenes/s_test.sce --output "$WORK/start.png" >/dev/null) ||
    fail "torv-render could not draw the start scene"
start_torv "$WORK"
# Pixels that differ by more than 3 %: the same view must give the same picture.
differ3() { differ "$1" "$2" 3; }

# Select the crust (the globe's centre), orbit with the right button, zoom.
click_seen 400 400 || fail "the click on the crust showed nothing"
drag 3 300 350 120 60
# Wheel steps taken in the frame that ends the orbit are dropped (the wheel
# is read only while idle): step until the picture zooms.
shot "$WORK/before-zoom.png"
zoomed=
for _ in 1 2 3 4 5 6; do
    xdotool click 4
    wait_change "$WORK/before-zoom.png" 5 && zoomed=1 && break
done
[ -n "$zoomed" ] || fail "the wheel did not zoom"

open_console
type_command "lines ghost"
type_command "savescene view.sce"
wait_for 60 test -s "$WORK/scenes/view.sce" || fail "savescene wrote nothing: $(cat "$OUT")"
type_command "screenshot window.png"
wait_for 60 test -s "$WORK/window.png" || fail "no screenshot: $(cat "$OUT")"
grep -E '^(camera|lines|selected) ' "$WORK/scenes/view.sce"
grep -q '^camera ' "$WORK/scenes/view.sce" && grep -q '^lines ghost$' "$WORK/scenes/view.sce" &&
    grep -q '^selected ' "$WORK/scenes/view.sce" || fail "the view is not in the file: $(cat "$WORK/scenes/view.sce")"

# A file without a view is framed; the saved view comes back as it was.
type_command "loadscene aside.sce"
type_command "screenshot aside.png"
wait_for 60 test -s "$WORK/aside.png" || fail "no screenshot of aside.sce"
read -r W H X Y <<<"$(drawn_box "$WORK/aside.png")"
echo "aside.sce drawn in a box of ${W}x${H} at $X,$Y"
[ "$W" -gt 300 ] && [ "$X" -lt 200 ] && [ $((X + W)) -gt 600 ] || fail "a scene without a view is not framed"
type_command "loadscene view.sce"
type_command "screenshot again.png"
wait_for 60 test -s "$WORK/again.png" || fail "no screenshot after loading the view"
AGAIN=$(differ3 "$WORK/window.png" "$WORK/again.png")
echo "the view loaded again against the window: $AGAIN pixels differ"
[ "$AGAIN" -le 200 ] || fail "loading the saved view does not bring it back"
close_console
quit_torv

# torv-render of the saved view, once the viewer no longer takes the processor.
(cd "$WORK" && "$BUILD/torv-render" scenes/view.sce --output "$WORK/render.png" >/dev/null) ||
    fail "torv-render could not draw the saved view"
SAME=$(differ3 "$WORK/window.png" "$WORK/render.png")
OTHER=$(differ3 "$WORK/start.png" "$WORK/render.png")
echo "saved view against the window: $SAME pixels differ; against the start view: $OTHER"
[ "$SAME" -le 200 ] || fail "torv-render does not draw the view saved in the window (KEEP=1 keeps $WORK)"
[ "$OTHER" -gt 5000 ] || fail "the view saved is the start view: nothing was changed"
echo "saved view session passed"
