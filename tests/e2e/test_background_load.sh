#!/usr/bin/env bash
# The real viewer under Xvfb while a model of a million triangles imports:
# the window keeps showing the scene and redraws a progress line with the
# seconds so far; the finished load is one undo step; `cancel` stops a load.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

start_session

# A wavy sheet of 710 x 710 vertices: 1,005,362 triangles, as ASCII PLY.
awk -v N=710 'BEGIN {
    printf "ply\nformat ascii 1.0\nelement vertex %d\nproperty float x\nproperty float y\nproperty float z\n", N * N
    printf "element face %d\nproperty list uchar int vertex_indices\nend_header\n", 2 * (N - 1) * (N - 1)
    for (j = 0; j < N; j++) for (i = 0; i < N; i++)
        printf "%.4f %.4f %.4f\n", i / (N - 1) * 20 - 10, sin(i * 0.05) * cos(j * 0.05), j / (N - 1) * 20 - 10
    for (j = 0; j < N - 1; j++) for (i = 0; i < N - 1; i++) {
        a = j * N + i; printf "3 %d %d %d\n3 %d %d %d\n", a, a + N, a + 1, a + 1, a + N, a + N + 1 } }' >"$WORK/big.ply"
cp "$WORK/big.ply" "$WORK/big2.ply"
start_torv "$WORK"

# The progress band along the bottom (light yellow), the dark text on it, and
# the scene's coloured pixels above it.
band() { pixels "$1" 0 780 800 800 |
    awk '$1 > 235 && $2 > 215 && $2 < 250 && $3 > 120 && $3 < 200 { n++ } END { print n + 0 }'; }
scene_pixels() { pixels "$1" 100 100 700 700 | awk '$1 < 200 || $2 < 200 || $3 < 200 { n++ } END { print n + 0 }'; }
# wait_band SECONDS FILE: a screenshot with the band shows up before the load ends.
wait_band() {
    local end=$((SECONDS + $1))
    while [ $SECONDS -lt $end ]; do
        shot "$2"
        [ "$(band "$2")" -gt 5000 ] && return 0
        grep -q "^Loaded model from $WORK/big.ply" "$OUT" && return 1
        sleep 0.3
    done
    return 1
}

open_console
type_command "model $WORK/big.ply"
close_console
wait_band 60 "$WORK/loading1.png" || fail "no progress line while the model loads: $(cat "$OUT")"
# The line counts seconds, so a window that still draws soon shows another picture.
changed() { differ "$WORK/loading1.png" "$WORK/loading2.png" 0; }
redrawn() { shot "$WORK/loading2.png" && [ "$(changed)" -gt 0 ]; }
START=$SECONDS
wait_for 30 redrawn
grep -q "^Loaded model from $WORK/big.ply" "$OUT" && fail "the import ended too soon to see the window during it"
SCENE=$(scene_pixels "$WORK/loading2.png")
TEXT=$(count_pixels "$WORK/loading2.png" 0 780 800 800 dark)
CHANGED=$(changed)
echo "while loading: $SCENE scene pixels, $(band "$WORK/loading2.png") band pixels, $TEXT text pixels," \
    "$CHANGED pixels changed within $((SECONDS - START)) s"
[ "$SCENE" -gt 20000 ] || fail "the scene is not shown while the model loads"
[ "$TEXT" -gt 30 ] || fail "the progress line has no text"
[ "$CHANGED" -gt 0 ] || fail "the window did not redraw while the model loads"

wait_for 300 grep -q "^Loaded model from $WORK/big.ply" "$OUT" || fail "the model did not load: $(cat "$OUT")"
wait_for 30 eval '[ "$(shot "$WORK/after.png"; band "$WORK/after.png")" -eq 0 ]' || fail "the progress line stays"

# The finished load is one step: one more block, and one Ctrl+Z takes it away.
console_command "savescene loaded.sce"
wait_for 60 test -s "$WORK/scenes/loaded.sce" || fail "savescene wrote nothing"
key ctrl+z
console_command "savescene undone.sce"
wait_for 60 test -s "$WORK/scenes/undone.sce" || fail "savescene wrote nothing"
BEFORE=$(grep -c '^meshnode$' "$ROOT/scenes/s_test.sce")
LOADED=$(grep -c '^meshnode$' "$WORK/scenes/loaded.sce")
UNDONE=$(grep -c '^meshnode$' "$WORK/scenes/undone.sce")
echo "blocks: start $BEFORE, loaded $LOADED, after one undo $UNDONE"
[ "$LOADED" -eq $((BEFORE + 1)) ] && [ "$UNDONE" -eq "$BEFORE" ] || fail "the load is not one undo step"

# cancel stops the next import; nothing is placed.
open_console
type_command "model $WORK/big2.ply"
close_console
wait_band 60 "$WORK/loading3.png" || fail "no progress line for the second model"
console_command "cancel"
wait_for 30 grep -q "cancelled loading big2.ply" "$OUT" || fail "cancel said nothing: $(cat "$OUT")"
grep -q "^Loaded model from $WORK/big2.ply" "$OUT" && fail "the cancelled model was loaded"
wait_for 30 eval '[ "$(shot "$WORK/after.png"; band "$WORK/after.png")" -eq 0 ]' || fail "the progress line stays after cancel"

quit_torv
echo "background load session passed"
