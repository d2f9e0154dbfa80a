#!/usr/bin/env bash
# The viewer opened on a scene file by its full path, from a folder of its
# own, under Xvfb: `screenshot a.png` and `screenshot b.png 2` write the view
# at 800 x 800 and 1600 x 1600 as torv-render draws it; Up, Up, Enter reruns
# the command before last; a clicked object deleted and brought back with
# Ctrl+Z is in the saved scene, and gone again after Ctrl+Shift+Z.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

WORK=$(mktemp -d)
APP=
trap '[ -n "$APP" ] && kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/run/scenes"
SCENE="$ROOT/scenes/machine.sce"

# The references first: the viewer draws all the time it runs.
(cd "$WORK/run" && "$BUILD/torv-render" "$SCENE" --output "$WORK/expect-a.png" >/dev/null &&
    "$BUILD/torv-render" "$SCENE" --resolution 1600,1600 --output "$WORK/expect-b.png" >/dev/null) ||
    fail "torv-render could not make the reference pictures"

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK/run" "$SCENE"
# The picture alone: the panel (shown for files given) hidden, and the
# pointer off every object, so no hover outline either.
xdotool mousemove --window "$WIN" 4 796
key F1

size() { xpicture size "$1" 2>/dev/null; }

# 1. The window shows the scene as torv-render draws it; screenshots of the
# untouched view, at 1 and 2 times the window's size, do too.
as_rendered() { [ "$(differ "$1" "$WORK/expect-a.png")" -le 200 ]; }
wait_shot "$WORK/opened.png" 30 as_rendered
open_console
type_command "screenshot a.png"
type_command "screenshot b.png 2"
wait_for 60 test -s "$WORK/run/b.png" || fail "screenshot wrote no b.png: $(ls "$WORK/run")"
[ "$(size "$WORK/run/a.png")" = 800x800 ] || fail "a.png is $(size "$WORK/run/a.png"), not 800x800"
[ "$(size "$WORK/run/b.png")" = 1600x1600 ] || fail "b.png is $(size "$WORK/run/b.png"), not 1600x1600"
DRAWN=$(differ "$WORK/opened.png" white 3)
WINDOW=$(differ "$WORK/opened.png" "$WORK/expect-a.png")
echo "window: $DRAWN pixels drawn, $WINDOW off torv-render"
[ "$DRAWN" -gt 100000 ] && [ "$WINDOW" -le 200 ] || fail "the window does not show the scene opened"
A=$(differ "$WORK/run/a.png" "$WORK/expect-a.png")
B=$(differ "$WORK/run/b.png" "$WORK/expect-b.png")
echo "pixels off torv-render: a.png $A of 640000, b.png $B of 2560000"
# The same renderer at the same size: at most a few stray line pixels.
[ "$A" -le 200 ] || fail "a.png does not match torv-render ($A pixels differ)"
[ "$B" -le 800 ] || fail "b.png does not match torv-render at 1600 x 1600 ($B pixels differ)"

# 2. Up, Up, Enter: the command before last runs again.
type_command "global 50"
type_command "global 20"
key Up
key Up
key Return
type_command "savescene recalled.sce"
close_console
wait_for 30 test -s "$WORK/run/scenes/recalled.sce" || fail "savescene wrote no recalled.sce"
GLOBAL=$(grep '^global ' "$WORK/run/scenes/recalled.sce")
[ "$GLOBAL" = "global 50" ] || fail "Up, Up, Enter did not rerun global 50: saved '$GLOBAL'"

# 3. Click the housing, Delete it (the gears inside show), Ctrl+Z brings it back; Ctrl+Shift+Z deletes it again.
# With the housing gone the gears inside show, the large one red.
gears_shown() { [ "$(count_pixels "$1" 0 0 800 800 deepred)" -gt 2000 ]; }
gears_hidden() { ! gears_shown "$1"; }
# Delete once a frame has taken the click (taken in one frame, Delete would
# go first, with nothing selected yet).
click_seen 400 480 || fail "the click on the housing showed nothing"
key Delete
wait_shot "$WORK/deleted.png" 30 gears_shown
echo "red gear pixels once the housing is deleted: $(count_pixels "$WORK/deleted.png" 0 0 800 800 deepred)"
gears_shown "$WORK/deleted.png" || fail "Delete did not uncover the gears"
key ctrl+z
wait_shot "$WORK/undone.png" 30 gears_hidden || fail "Ctrl+Z did not cover the gears again"
console_command "savescene undone.sce"
key ctrl+shift+z
wait_shot "$WORK/redone.png" 30 gears_shown || fail "Ctrl+Shift+Z did not uncover the gears again"
console_command "savescene redone.sce"
wait_for 30 test -s "$WORK/run/scenes/redone.sce" || fail "savescene wrote no redone.sce"
models() { grep -c '^meshnode' "$1"; }
housings() { grep -c 'machine_housing\.dae$' "$1"; }
UNDONE="$WORK/run/scenes/undone.sce"
REDONE="$WORK/run/scenes/redone.sce"
echo "models: $(models "$SCENE") opened, $(models "$UNDONE") after Ctrl+Z," \
    "$(models "$REDONE") after Ctrl+Shift+Z"
[ "$(models "$UNDONE")" -eq "$(models "$SCENE")" ] && [ "$(housings "$UNDONE")" -eq 1 ] ||
    fail "Ctrl+Z did not bring the deleted housing back"
[ "$(models "$REDONE")" -eq $(($(models "$SCENE") - 1)) ] && [ "$(housings "$REDONE")" -eq 0 ] ||
    fail "Ctrl+Shift+Z did not delete the housing again"

quit_torv
echo "undo, screenshot and recall session passed"
