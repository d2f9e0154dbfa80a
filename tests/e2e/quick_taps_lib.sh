# The set-up of the quick-tap sessions (test_quick_taps.sh, test_quick_escape.sh):
# four small spheres in a row before a globe, the viewer run from a folder of
# its own (so its data comes from the data folder), and what they check.
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

brightness() { # file x y: r+g+b of one pixel
    pixels "$1" "$2" "$3" $(($2 + 1)) $(($3 + 1)) | awk '{ print $1 + $2 + $3 }'
}

start_viewer() {
    OUT="$WORK/out.$1"; RC="$WORK/rc.$1"
    launch_viewer "$WORK/run"
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
moved_from_origin() { shot "$WORK/f.png" && [ "$(differ "$WORK/f.png" "$WORK/origin.png")" -gt 3000 ]; }
back_at_origin() { shot "$WORK/c.png" && [ "$(differ "$WORK/c.png" "$WORK/origin.png")" -lt 300 ]; }

