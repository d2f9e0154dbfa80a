#!/usr/bin/env bash
# A person's session with the real viewer under Xvfb: open the console, switch
# edit mode on, close it, click an object, drag its x handle, reopen the
# console and save the scene under a new name. The saved file must show the
# moved translation and a screenshot must show the console's text.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
ROOT=$(pwd)
. "$(dirname "$0")/xvfb_lib.sh"

WORK=$(mktemp -d)
trap 'kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
mkdir -p "$WORK/scenes" "$WORK/models"
ln -s "$ROOT/shaders" "$WORK/shaders"
ln -s "$ROOT/fonts" "$WORK/fonts"
# One blue-grey box of half size 6 at the origin: the start scene.
cat >"$WORK/models/box.mtl" <<'MTL'
newmtl m
Kd 0.45 0.55 0.7
MTL
cat >"$WORK/models/box.obj" <<'OBJ'
mtllib box.mtl
usemtl m
v -6 -6 -6
v 6 -6 -6
v -6 6 -6
v 6 6 -6
v -6 -6 6
v 6 -6 6
v -6 6 6
v 6 6 6
f 2 4 8 6
f 1 5 7 3
f 3 7 8 4
f 1 2 6 5
f 5 6 8 7
f 1 3 4 2
OBJ
printf 'global 30\n\nmeshnode\nfile box.obj\nt 0 0 0\ns 1\nr 0 0 0\ncancut on\ncanbecut on\nendmeshnode\n' \
    >"$WORK/scenes/s_test.sce"

start_xvfb || exit 1
OUT="$WORK/stdout.txt"
RC="$WORK/rc"
start_torv "$WORK"

# Console: Tab, "edit on", Enter, Tab. The screenshot taken before Enter
# must show the typed text on the input line.
console_command "edit on" console-edit.png

# Orbit a little so the x handle (a square in the plane x = 0) is not seen edge-on.
drag 3 600 600 80 0

# Select the box: the gizmo appears. A click taken in the frame that ends
# the orbit is not seen, so click until it shows.
# The x handle is the reddish square (green and blue alike, unlike the
# orange selection outline); find one of its pixels.
# The gizmo stands on the box at the middle of the window: only the middle
# 400 x 400 pixels are searched.
x_handle() {
    XY=$(pixels "$1" 200 200 600 600 | awk '{ r=$1; g=$2; b=$3;
            if (r > 150 && r - g > 50 && r - b > 50 && (g - b) ^ 2 < 900) {
                n++; px[n] = ((NR - 1) % 400 + 200) "," (int((NR - 1) / 400) + 200) } }
            END { if (n > 0) print px[int((n + 1) / 2)] }')
    [ -n "$XY" ]
}
for _ in 1 2 3 4 5; do
    xdotool mousemove --window "$WIN" 400 400 click 1
    wait_shot "$WORK/gizmo.png" 10 x_handle && break
done
x_handle "$WORK/gizmo.png" || fail "no x handle on screen in edit mode"
HX=${XY%,*}; HY=${XY#*,}
drag 1 "$HX" "$HY" 20 -120
shot "$WORK/moved.png"

# Save under a new name.
console_command "savescene moved.sce" console-save.png
wait_for 30 test -s "$WORK/scenes/moved.sce" || fail "savescene wrote nothing: $(ls "$WORK/scenes")"

T=$(grep '^t ' "$WORK/scenes/moved.sce")
read -r _ TX TY TZ <<<"$T"
echo "saved translation: $TX $TY $TZ"
awk -v x="$TX" 'BEGIN { exit !(x < 1e-3 && x > -1e-3) }' || fail "x moved ($TX) though the x handle moves across x"
awk -v y="$TY" -v z="$TZ" 'BEGIN { exit !((y * y + z * z) > 0.01) }' || fail "the drag did not move the box: $T"
grep -q '^file box.obj$' "$WORK/scenes/moved.sce" || fail "saved scene lost the model"

quit_torv
echo "console and edit session passed"
