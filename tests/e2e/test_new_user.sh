#!/usr/bin/env bash
# A new user's run under Xvfb: `torv` on the corpus engine by its full path
# opens it in parts with the scene panel shown; a click on the piston's row
# (found by typing its id into the panel's find field) selects it and the
# picture shows it cut open; `savescene` writes the view and the selection;
# torv-render of that file with no options draws what the window's
# screenshot shows.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"

ENGINE=/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
[ -f "$ENGINE" ] || { echo "assimp-testmodels missing: $ENGINE; skipped"; exit 0; }
WORK=$(mktemp -d)
APP=
trap '[ -n "$APP" ] && kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/run/scenes"
[ -n "${KEEP:-}" ] && echo "work: $WORK"

# The picture's left part (where the engine is drawn).
picture_part() { xpicture crop "$1" 0 0 460 800 "$2"; }

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK/run" "$ENGINE"
wait_for 180 grep -q 'placed [0-9]* parts of 2CylinderEngine.glb' "$OUT" ||
    fail "the engine was not placed in parts: $(cat "$OUT")"
# The panel is shown: its status line (dark text on the panel's light grey).
panel_shown() { [ "$(count_pixels "$1" 475 768 795 790 dark)" -gt 20 ]; }
wait_shot "$WORK/opened.png" 60 panel_shown || fail "no panel at start"
WATCH=(0 0 800 760)
wait_still "$WORK/opened.png" 30 || fail "the picture does not settle after opening"

# The piston is part nodes[5]: its row is the one under the file's row once
# the list is filtered by that id. Each step waits until the window shows it.
# Focused, the field shows the text cursor: a few pixels of its own.
field_focused() { shot "$WORK/field.png" && [ "$(differ "$WORK/before-field.png" "$WORK/field.png" 10 470 50 790 74)" -gt 5 ]; }
xdotool mousemove --window "$WIN" 560 62
wait_still "$WORK/before-field.png" 10 || fail "the panel does not settle under the pointer"
xdotool click 1
wait_for 20 field_focused || fail "the find field did not take the click"
shot "$WORK/before-typing.png"
xdotool type --delay 60 "nodes[5]"
wait_change "$WORK/before-typing.png" 20 && wait_still "$WORK/filtered.png" 20 || fail "typing did not filter the list"
click_seen 560 124 || fail "the piston's row did not take the click"
# Away from the field (the panel's empty part: a click that shows nothing,
# and the row's click has already ended the typing), then off the panel and
# the model, so keys reach the viewer and no hover outline is drawn. What
# follows waits for what it does itself.
xdotool mousemove --window "$WIN" 630 740 click 1
xdotool mousemove --window "$WIN" 4 796
picture_part "$WORK/opened.png" "$WORK/opened-left.png"
cut_open() {
    shot "$WORK/selected.png" && picture_part "$WORK/selected.png" "$WORK/selected-left.png" &&
        [ "$(differ "$WORK/opened-left.png" "$WORK/selected-left.png")" -gt 1500 ]
}
wait_for 90 cut_open || fail "the picture did not change: the piston's row selected nothing"

console_command "savescene view.sce"
console_command "screenshot window.png"
wait_for 60 test -s "$WORK/run/window.png" || fail "no screenshot: $(ls "$WORK/run")"
SCENE="$WORK/run/scenes/view.sce"
[ -s "$SCENE" ] || fail "savescene wrote nothing: $(ls -R "$WORK/run")"
grep -q '^camera ' "$SCENE" || fail "the saved scene has no camera line"
SELECTED=$(awk '$1 == "selected" { print $2 }' "$SCENE")
[ -n "$SELECTED" ] || fail "the saved scene has no selection"
PART=$(awk -v want="$SELECTED" '$1 == "meshnode" { n++ } $1 == "part" && n - 1 == want { print $2 }' "$SCENE")
[ "$PART" = "nodes[5]" ] || fail "the saved selection is part '$PART', not the piston"

(cd "$WORK/run" && "$BUILD/torv-render" scenes/view.sce --output "$WORK/render.png" >/dev/null) ||
    fail "torv-render could not draw the saved scene"
OFF=$(differ "$WORK/run/window.png" "$WORK/render.png")
echo "torv-render of the saved scene: $OFF of 640000 pixels off the window's screenshot"
[ "$OFF" -le 1500 ] || fail "torv-render of the saved view differs from the window ($OFF pixels)"

quit_torv
echo "new user's run passed"
