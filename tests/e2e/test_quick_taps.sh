#!/usr/bin/env bash
# Quick taps under Xvfb, as a person types them (xdotool key: down and up at
# once, shorter than a frame): every Escape quits, every F recentres, every
# quick Shift+click adds, with and without a cutaway on screen. The viewer
# runs from a folder of its own, so its data comes from the data folder.
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
WORK=$(mktemp -d)
start_xvfb || exit 1
APP=
trap '[ -n "$APP" ] && kill $APP 2>/dev/null; stop_xvfb; rm -rf "$WORK"' EXIT

# Four small spheres in a row (the two on the left cannot cut, the two on the
# right can) in front of a larger globe that they cut when selected.
mkdir -p "$WORK/run/scenes"
{
    printf 'global 30\n\n'
    for sphere in "-18 off" "-6 off" "6 on" "18 on"; do
        set -- $sphere
        printf 'meshnode\nfile globe_inner_core.glb\nt %s 0 0\ncancut %s\nendmeshnode\n\n' "$1" "$2"
    done
    printf 'meshnode\nfile globe_crust.obj\nt 0 -14 -12\ns 0.8\ncancut off\nendmeshnode\n'
} >"$WORK/run/scenes/s_test.sce"
SPHERE_X=(208 336 464 592)
SPHERE_Y=380

shot() { import -window "$WIN" "$1" 2>/dev/null; }
brightness() { # file x y: r+g+b of one pixel
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
        awk -F'[(),: ]+' 'NR == 2 { print $3 + $4 + $5 }'
}
differing() { compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 | awk '{ print int($1) }'; }

start_viewer() {
    OUT="$WORK/out.$1"; RC="$WORK/rc.$1"
    (cd "$WORK/run" && "$BUILD/torv" >"$OUT" 2>&1; echo $? >"$RC") &
    APP=$!
    wait_for 60 xdotool search --name '^Torv$' || fail "run $1: no window"
    WIN=$(xdotool search --name '^Torv$' | head -n1)
    xdotool windowfocus "$WIN" 2>/dev/null
    wait_for 60 sphere_shown || fail "run $1: the scene never appeared"
    local i
    for i in 0 1 2 3; do DIM[$i]=$(brightness "$WORK/s.png" $((SPHERE_X[$i] - 8)) $SPHERE_Y); done
}
# Neither the white background nor the black of a window not yet drawn.
sphere_shown() {
    shot "$WORK/s.png" || return 1
    local v; v=$(brightness "$WORK/s.png" $((SPHERE_X[0] - 8)) $SPHERE_Y)
    [ "$v" -gt 150 ] && [ "$v" -lt 500 ]
}
# A selected model is drawn 1.4 times brighter.
is_bright() { # sphere index
    shot "$WORK/b.png"
    [ "$(brightness "$WORK/b.png" $((SPHERE_X[$1] - 8)) $SPHERE_Y)" -gt $((DIM[$1] * 5 / 4)) ]
}
is_dim() { ! is_bright "$1"; }
click_sphere() { # index [shift]
    if [ "${2:-}" = shift ]; then
        xdotool mousemove --window "$WIN" "${SPHERE_X[$1]}" $SPHERE_Y keydown shift click 1 keyup shift
    else
        xdotool mousemove --window "$WIN" "${SPHERE_X[$1]}" $SPHERE_Y click 1
    fi
}
expect_selected() { # indices...
    local i
    for i in "$@"; do wait_for 30 is_bright "$i" || fail "sphere $i not selected (selecting $*)"; done
    # Settled: the last change is on screen, and no earlier member was lost.
    for i in "$@"; do is_bright "$i" || fail "sphere $i left the selection (selecting $*)"; done
}
expect_quit() { # run
    wait_for 30 test -s "$RC" || fail "run $1: Escape did not quit"
    [ "$(cat "$RC")" -eq 0 ] || fail "run $1: exit status $(cat "$RC")"
    ! grep -q ERROR "$OUT" || fail "run $1: $(grep ERROR "$OUT" | head -n3)"
    APP=
}
# F moves the view onto the selection, C back to the origin: each tap must
# change the picture.
focus_taps() { # label
    local n
    shot "$WORK/origin.png"
    for n in 1 2 3; do
        xdotool key F
        wait_for 30 moved_from_origin || fail "$1: F tap $n did not recentre"
        xdotool key C
        wait_for 30 back_at_origin || fail "$1: C tap $n did not centre on the origin"
    done
}
moved_from_origin() { shot "$WORK/f.png" && [ "$(differing "$WORK/f.png" "$WORK/origin.png")" -gt 3000 ]; }
back_at_origin() { shot "$WORK/c.png" && [ "$(differing "$WORK/c.png" "$WORK/origin.png")" -lt 300 ]; }

# Run 1: no cutaway (only spheres that cannot cut selected), then a cutaway.
start_viewer 1
for round in 1 2; do
    click_sphere 0
    expect_selected 0
    click_sphere 1 shift
    expect_selected 0 1
    focus_taps "no cutaway, round $round"
    xdotool mousemove --window "$WIN" 60 60 click 1
    wait_for 30 is_dim 0 || fail "clicking the background did not clear the selection"
done
click_sphere 2
expect_selected 2
click_sphere 3 shift
expect_selected 2 3
click_sphere 0 shift
expect_selected 0 2 3
focus_taps "cutaway"
xdotool key Escape
expect_quit 1

# Escape taps just after start-up, and with a cutaway on screen.
for run in 2 3 4; do
    start_viewer $run
    xdotool key Escape
    expect_quit $run
done
for run in 5 6; do
    start_viewer $run
    click_sphere 3
    expect_selected 3
    xdotool key Escape
    expect_quit $run
done
echo "quick taps passed"
