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
start_torv "$WORK"
pause() { sleep "${1:-1.5}"; }
# Pixels that differ by more than 3 %: the same view must give the same picture.
differ() { compare -metric AE -fuzz 3% "$1" "$2" null: 2>&1 | awk '{ print int($1) }'; }
drawn_box() { convert "$1" -fuzz 3% -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+'; }

# Select the crust (the globe's centre), orbit with the right button, zoom.
xdotool mousemove --window "$WIN" 400 400; pause 0.5
xdotool mousedown 1; pause 0.5; xdotool mouseup 1; pause 1
xdotool mousemove --window "$WIN" 300 350; pause 0.5
xdotool mousedown 3; pause 0.5
xdotool mousemove --window "$WIN" 360 380; pause 0.5
xdotool mousemove --window "$WIN" 420 410; pause 0.5
xdotool mouseup 3; pause 1
xdotool click --repeat 3 4; pause 1.5

open_console
type_command "lines ghost"
type_command "savescene view.sce"
wait_for 60 test -s "$WORK/scenes/view.sce" || fail "savescene wrote nothing: $(cat "$OUT")"
type_command "screenshot window.png"
wait_for 60 test -s "$WORK/window.png" || fail "no screenshot: $(cat "$OUT")"
grep -E '^(camera|lines|selected) ' "$WORK/scenes/view.sce"
grep -q '^camera ' "$WORK/scenes/view.sce" && grep -q '^lines ghost$' "$WORK/scenes/view.sce" &&
    grep -q '^selected ' "$WORK/scenes/view.sce" || fail "the view is not in the file: $(cat "$WORK/scenes/view.sce")"

(cd "$WORK" && "$BUILD/torv-render" scenes/view.sce --output "$WORK/render.png" >/dev/null) ||
    fail "torv-render could not draw the saved view"
(cd "$WORK" && "$BUILD/torv-render" scenes/s_test.sce --output "$WORK/start.png" >/dev/null) ||
    fail "torv-render could not draw the start scene"
SAME=$(differ "$WORK/window.png" "$WORK/render.png")
OTHER=$(differ "$WORK/start.png" "$WORK/render.png")
echo "saved view against the window: $SAME pixels differ; against the start view: $OTHER"
[ "$SAME" -le 200 ] || fail "torv-render does not draw the view saved in the window (KEEP=1 keeps $WORK)"
[ "$OTHER" -gt 5000 ] || fail "the view saved is the start view: nothing was changed"

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
AGAIN=$(differ "$WORK/window.png" "$WORK/again.png")
echo "the view loaded again against the window: $AGAIN pixels differ"
[ "$AGAIN" -le 200 ] || fail "loading the saved view does not bring it back"
close_console

quit_torv
echo "saved view session passed"
