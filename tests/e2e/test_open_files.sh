#!/usr/bin/env bash
# The viewer started on model files alone, from a folder of its own, under
# Xvfb: `torv /full/path/duck.dae missing.obj` shows the duck framed (large in
# the window, clear of its edges) and names the file it cannot read.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"

DUCK=/usr/share/assimp/models/Collada/duck.dae
[ -f "$DUCK" ] || { echo "assimp-testmodels missing: $DUCK; skipped"; exit 0; }
WORK=$(mktemp -d)
APP=
trap '[ -n "$APP" ] && kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/run"

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK/run" "$DUCK" missing.obj
# Files given bring the scene panel; F1 hides it, leaving the picture.
panel_shown() { [ "$(count_pixels "$1" 480 760 790 790 dark)" -gt 20 ]; }
wait_shot "$WORK/panel.png" 30 panel_shown || fail "no panel (status line) at start"
key F1

# The box around everything not white, as "W H X Y"; framed means large in
# the window and clear of its edges.
framed() {
    read -r W H X Y <<<"$(drawn_box "$1")"
    [ "$X" -ge 8 ] && [ "$Y" -ge 8 ] && [ $((X + W)) -le 792 ] && [ $((Y + H)) -le 792 ] &&
        { [ "$W" -ge 400 ] || [ "$H" -ge 400 ]; }
}
wait_shot "$WORK/duck.png" 30 framed
echo "duck drawn ${W}x${H} at $X,$Y in the 800 x 800 window"
framed "$WORK/duck.png" || fail "the duck is not framed wholly in the window"
grep -q 'missing\.obj' "$OUT" || fail "nothing said about missing.obj: $(cat "$OUT")"

quit_torv
echo "open files session passed"
