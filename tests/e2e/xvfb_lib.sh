# Shared helpers for the end-to-end tests: a private Xvfb display and
# polling with generous timeouts (frames take a while in software GL).

# The viewers draw at most 10 frames a second: drawing as fast as software GL
# can, each would take a whole processor from the tests running beside it.
export TORV_MAX_FPS=${TORV_MAX_FPS:-10}

start_xvfb() {
    # Xvfb picks a free display itself: tests running side by side must not
    # both take the first number that looked free.
    local number
    number=$(mktemp)
    XVFB_LOG=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x1024x24 -nolisten tcp 3>"$number" >"$XVFB_LOG" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        if [ -s "$number" ]; then
            export DISPLAY=:$(head -n1 "$number")
            rm -f "$number"
            return 0
        fi
        kill -0 $XVFB_PID 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number"
    kill $XVFB_PID 2>/dev/null
    echo "could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill $XVFB_PID 2>/dev/null && wait $XVFB_PID 2>/dev/null
    rm -f "${XVFB_LOG:-}"
    return 0
}

# wait_for SECONDS COMMAND...: retries the command until it succeeds.
wait_for() {
    local limit=$1; shift
    local end=$((SECONDS + limit))
    while [ $SECONDS -lt $end ]; do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# viewer_state: what became of the viewer started as $APP (writing $OUT and
# $RC), for a failure message: its exit status or, while it runs, where its
# threads wait.
viewer_state() {
    if kill -0 "${XVFB_PID:-0}" 2>/dev/null; then
        echo "Xvfb $DISPLAY still runs"
    else
        wait "${XVFB_PID:-0}" 2>/dev/null
        echo "Xvfb $DISPLAY ended, status $?: $(tail -n 5 "${XVFB_LOG:-/dev/null}" 2>/dev/null)"
    fi
    echo "exit status: $(cat "${RC:-/dev/null}" 2>/dev/null || echo none)"
    echo "the viewer printed: $(cat "${OUT:-/dev/null}" 2>/dev/null)"
    local pid
    for pid in $(pgrep -P "${APP:-0}" 2>/dev/null); do
        echo "process $pid: $(tr '\0' ' ' </proc/$pid/cmdline 2>/dev/null), waiting in $(cat /proc/$pid/wchan 2>/dev/null)"
        if command -v gdb >/dev/null; then
            timeout 60 gdb -p "$pid" -batch -ex 'thread apply all bt 12' 2>/dev/null | grep -E '^(Thread|#)'
        fi
        pgrep -P "$pid" | while read -r child; do echo "child $child: $(tr '\0' ' ' </proc/$child/cmdline 2>/dev/null)"; done
    done
}

# start_session: a work folder $WORK that holds the repository's shaders,
# fonts and models and the start scene (removed at exit unless KEEP is set),
# a private display, and $OUT and $RC there for start_torv.
start_session() {
    WORK=$(mktemp -d)
    APP=
    trap '[ -n "$APP" ] && kill $APP 2>/dev/null; stop_xvfb; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT
    mkdir -p "$WORK/scenes"
    local d
    for d in shaders fonts models; do ln -s "${ROOT:?}/$d" "$WORK/$d"; done
    cp "$ROOT/scenes/s_test.sce" "$WORK/scenes/"
    start_xvfb || exit 1
    OUT="$WORK/stdout.txt"
    RC="$WORK/rc"
}

# launch_viewer FOLDER [ARG...]: starts $BUILD/torv in FOLDER with stdout in
# $OUT and the exit status in $RC, and waits for its window ($WIN). On a
# loaded machine Xvfb now and then refuses a connection ("Failed to open
# display"); a viewer that ended so is started again, at most twice. Any
# other end before the window shows fails the test at once.
launch_viewer() {
    local folder=$1; shift
    local try
    for try in 1 2 3; do
        rm -f "$RC"
        ( cd "$folder" && "$BUILD/torv" "$@" >"$OUT" 2>&1; echo $? >"$RC" ) &
        APP=$!
        wait_for 60 window_or_end
        WIN=$(xdotool search --name '^Torv$' 2>/dev/null | head -n1)
        if [ -n "$WIN" ]; then
            xdotool windowfocus "$WIN" 2>/dev/null
            return 0
        fi
        test -s "$RC" && grep -q "Failed to open display" "$OUT" || break
        echo "note: try $try: the viewer could not open $DISPLAY; starting it again" >&2
    done
    fail "no window titled Torv; $(viewer_state)"
}
window_or_end() { xdotool search --name '^Torv$' >/dev/null 2>&1 || test -s "$RC"; }

# start_torv FOLDER [FILE...]: launch_viewer, then waits for the first frame.
start_torv() {
    launch_viewer "$@"
    wait_for 120 drawn "${WORK:?}/first-frame.png" || fail "no frames: $(cat "$OUT")"
}

# quit_torv: holds Escape until the viewer ends (its loop looks at the key
# once a frame); the exit status must be 0.
quit_torv() {
    xdotool keydown Escape
    wait_for 60 test -s "$RC"
    xdotool keyup Escape 2>/dev/null
    [ "$(cat "$RC" 2>/dev/null)" = "0" ] || fail "exit status $(cat "$RC" 2>/dev/null)"
    APP=
}

# Screenshots and picture checks (tests/e2e/xpicture: a few milliseconds a
# call, where ImageMagick took a tenth of a second of the processors the
# viewers draw with).
xpicture() { "${BUILD:?}/xpicture" "$@"; }
shot() { xpicture shot "$WIN" "$1" 2>/dev/null; }
# A window not drawn yet is all black; the first frame puts the background
# (white or the scene) in it.
drawn() { shot "$1" && xpicture lit "$1"; }
# Keys reach the program in order; callers wait for what a key does.
key() { xdotool key --clearmodifiers "$@"; }

# Pixels that differ by more than 10 % (or FUZZ %) between two pictures (the
# second may be "white"), in all of them or in a rectangle X0 Y0 X1 Y1.
differ() { xpicture differ "$1" "$2" "${3:-10}" "${@:4}"; }
# The box around everything that differs from the top left pixel by more than
# 3 %, as "W H X Y".
drawn_box() { xpicture box "$1" 3 2>/dev/null; }

# The part of the window wait_change and wait_still watch, as X0 Y0 X1 Y1
# (all of it when empty): a session with the scene panel shown leaves out its
# status line, which shows each frame's time.
WATCH=()

# wait_change PICTURE SECONDS: until the window no longer shows PICTURE (more
# than 50 pixels differ); the window as it is then is in $WORK/changed.png.
wait_change() {
    local end=$((SECONDS + $2))
    while [ $SECONDS -lt $end ]; do
        shot "${WORK:?}/changed.png"
        [ "$(differ "$1" "$WORK/changed.png" 10 "${WATCH[@]}")" -gt 50 ] && return 0
        sleep 0.1
    done
    return 1
}

# wait_still FILE SECONDS: until two screenshots a frame apart or more show
# the same picture (at most 10 pixels differ by more than 10 %); the picture
# is then in FILE. Callers first wait for the change they caused, so that a
# window still showing the old picture does not pass.
wait_still() {
    local end=$((SECONDS + $2)) previous="${WORK:?}/still-previous.png"
    shot "$previous"
    while [ $SECONDS -lt $end ]; do
        sleep 0.15
        shot "$1" || continue
        [ "$(differ "$previous" "$1" 10 "${WATCH[@]}")" -le 10 ] && return 0
        mv "$1" "$previous"
    done
    return 1
}

# click_seen X Y: moves the pointer to X, Y and lets a frame draw the hover
# outline (if it is over an object), then clicks and waits until a frame
# shows the click's effect. A click and a key or a move away taken in one
# frame may be taken in either order; after this they cannot be.
click_seen() {
    shot "${WORK:?}/before-move.png"
    xdotool mousemove --window "$WIN" "$1" "$2"
    wait_change "$WORK/before-move.png" 3
    shot "$WORK/before-click.png"
    xdotool click 1
    wait_change "$WORK/before-click.png" 30
}

# drag BUTTON X Y DX DY: presses at (X, Y) and moves by (DX, DY) in steps
# until the picture changes (the press and the first step may share a
# frame, so the first steps stay small), then to the end, and releases.
# With button 1 (a gizmo handle) the handle lights up under the cursor: that
# change comes first, so the picture to compare with is taken once it shows.
drag() {
    local button=$1 x=$2 y=$3 dx=$4 dy=$5 i
    shot "$WORK/before-drag.png"
    xdotool mousemove --window "$WIN" "$x" "$y"
    [ "$button" != 1 ] || wait_change "$WORK/before-drag.png" 10 || fail "the handle did not light up"
    shot "$WORK/before-drag.png"
    xdotool mousedown "$button"
    # The press itself shows nothing, and the gizmo's handles overlap about
    # their centre: the one fixed wait lets a frame take the press where it is.
    [ "$button" != 1 ] || sleep 1
    for i in $(seq 1 20); do
        xdotool mousemove --window "$WIN" $((x + dx * i / 20)) $((y + dy * i / 20))
        wait_change "$WORK/before-drag.png" 3 && break
    done
    xdotool mousemove --window "$WIN" $((x + dx)) $((y + dy))
    wait_change "$WORK/changed.png" 3
    # Keys are dropped until the release is taken. A handle stays lit while
    # dragged and goes dark once released with the cursor away from it.
    # (An orbit follows the cursor in the frame that takes its release, so
    # its cursor stays where it is.)
    shot "$WORK/before-release.png"
    xdotool mouseup "$button"
    if [ "$button" = 1 ]; then
        xdotool mousemove --window "$WIN" 5 5
        wait_change "$WORK/before-release.png" 10 || fail "the drag did not end"
    fi
}

# wait_shot FILE SECONDS TEST...: takes screenshots into FILE until the test
# command (given FILE as its last argument) accepts one.
wait_shot() {
    local file=$1 end=$((SECONDS + $2)); shift 2
    while [ $SECONDS -lt $end ]; do
        shot "$file"
        "$@" "$file" && return 0
        sleep 0.2
    done
    return 1
}

# pixels FILE [X0 Y0 X1 Y1]: "r g b" a line for each pixel of the picture (of
# the rectangle), row by row.
pixels() { xpicture pixels "$@"; }

# Counts the pixels of a kind (dark, red, deepred, orange: see xpicture)
# inside a rectangle.
count_pixels() { # file x0 y0 x1 y1 kind
    xpicture count "$1" "$2" "$3" "$4" "$5" "$6"
}

# The console, driven through the window. Frames are slow in software GL, so
# these wait for what the screen shows instead of guessing times: dark pixels
# on the input line (20 px below the top edge, right of the prompt) mean the
# blinking cursor or typed text is there.
input_ink() { shot "${WORK:?}/probe.png"; count_pixels "$WORK/probe.png" 15 4 300 30 dark; }
wait_ink_above() { # minimum, seconds
    local end=$((SECONDS + $2))
    while [ $SECONDS -lt $end ]; do
        [ "$(input_ink)" -gt "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
# The input line's area as it was before the console opened: once closed,
# the console leaves it so (or blank), whatever the picture has there.
input_area() { xpicture crop "$1" 15 4 300 30 "$2" 2>/dev/null; }
open_console() {
    shot "${WORK:?}/before-console.png"
    input_area "$WORK/before-console.png" "$WORK/before-console-input.png"
    key Tab
    wait_ink_above 0 20 || fail "the console did not open"
}
console_gone() {
    [ "$(input_ink)" -eq 0 ] && return 0
    input_area "$WORK/probe.png" "$WORK/probe-input.png"
    [ "$(differ "$WORK/before-console-input.png" "$WORK/probe-input.png")" -le 5 ]
}
close_console() {
    key Tab
    wait_for 20 console_gone || fail "the console did not close"
}
# type_command TEXT [SHOT]: types a line into the open console, waits until it
# shows (screenshot in $WORK/SHOT when named) and runs it.
type_command() {
    xdotool type --delay 20 "$1"
    wait_ink_above 40 20 || fail "typed text did not appear: $1"
    [ -z "${2:-}" ] || shot "$WORK/$2"
    key Return
}
# console_command TEXT [SHOT]: opens the console, runs one line, closes it.
console_command() {
    open_console
    type_command "$@"
    close_console
}
