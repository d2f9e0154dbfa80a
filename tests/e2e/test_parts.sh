#!/usr/bin/env bash
# The real viewer under Xvfb: `parts` with the corpus engine's path places
# every part as an object of its own, and `savescene` writes one block with a
# part line per part. torv-render of the saved scene must look like
# torv-render of the whole model.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

ENGINE=/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
# The nodes of the file that carry meshes.
ENGINE_PARTS=67
if [ ! -f "$ENGINE" ]; then
    echo "assimp-testmodels missing: parts session skipped"
    exit 0
fi
WORK=$(mktemp -d)
trap 'kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/scenes" "$WORK/models"
ln -s "$ROOT/shaders" "$WORK/shaders"
ln -s "$ROOT/fonts" "$WORK/fonts"
# An empty start scene: the console's input line stays on white.
printf 'global 30\n' >"$WORK/scenes/s_test.sce"

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK"

key Tab
wait_ink_above 0 20 || fail "the console did not open"
xdotool type --delay 40 "parts $ENGINE"
wait_ink_above 40 20 || fail "typed text did not appear"
key Return
wait_for 120 grep -q "^Loaded model from $ENGINE" "$OUT" || fail "parts did not load the engine: $(cat "$OUT")"
xdotool type --delay 40 "savescene parts.sce"
key Return
wait_for 60 test -s "$WORK/scenes/parts.sce" || fail "savescene wrote nothing: $(cat "$OUT")"
key Tab
xdotool keydown Escape; wait_for 60 test -s "$RC"; xdotool keyup Escape 2>/dev/null
[ "$(cat "$RC" 2>/dev/null)" = "0" ] || fail "exit status $(cat "$RC" 2>/dev/null)"

SAVED="$WORK/scenes/parts.sce"
BLOCKS=$(grep -c '^meshnode$' "$SAVED")
PARTS=$(grep -c '^part ' "$SAVED")
IDS=$(grep '^part ' "$SAVED" | sort -u | wc -l)
FILES=$(grep -c "^file $ENGINE\$" "$SAVED")
echo "saved: $BLOCKS blocks, $PARTS part lines, $IDS part ids, $FILES file lines with the engine's path"
[ "$BLOCKS" -eq "$ENGINE_PARTS" ] && [ "$PARTS" -eq "$BLOCKS" ] && [ "$IDS" -eq "$PARTS" ] &&
    [ "$FILES" -eq "$BLOCKS" ] || fail "expected one block with its own part line per part ($ENGINE_PARTS)"
# Each part line stands in its block, right after the file line.
[ "$(grep -A1 '^file ' "$SAVED" | grep -c '^part ')" -eq "$PARTS" ] || fail "a part line outside its block"

# The whole model, placed as the parts were (scale 1), framed the same way.
printf 'global 30\n\nmeshnode\nfile %s\nt 0 0 0\ns 1\nr 0 0 0\ncancut on\ncanbecut on\nendmeshnode\n' \
    "$ENGINE" >"$WORK/scenes/whole.sce"
for s in parts whole; do
    (cd "$WORK" && "$BUILD/torv-render" "scenes/$s.sce" --camera-fit --resolution 400,400 --lines on \
        --output "$WORK/$s.png" >/dev/null) || fail "torv-render could not draw $s.sce"
done
# Where parts touch, a line may fall a pixel apart; a missing or misplaced
# part differs in thousands of pixels.
DIFFER=$(differ "$WORK/parts.png" "$WORK/whole.png")
DRAWN=$(differ "$WORK/whole.png" white 3)
echo "parts against whole: $DIFFER of 160000 pixels differ; the engine covers $DRAWN"
[ "$DRAWN" -gt 20000 ] || fail "the whole engine is hardly drawn ($DRAWN pixels)"
[ "$DIFFER" -le 160 ] || fail "the parts do not draw like the whole model (kept in $WORK with KEEP=1)"
echo "parts session passed"
