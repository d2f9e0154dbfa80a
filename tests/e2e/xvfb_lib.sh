# Shared helpers for the end-to-end tests: a private Xvfb display and
# polling with generous timeouts (frames take a while in software GL).

start_xvfb() {
    local n
    for n in $(seq 91 140); do
        if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then
            Xvfb :$n -screen 0 1024x1024x24 -nolisten tcp >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=:$n
            for _ in $(seq 1 100); do
                [ -e /tmp/.X11-unix/X$n ] && return 0
                sleep 0.1
            done
            kill $XVFB_PID 2>/dev/null
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill $XVFB_PID 2>/dev/null && wait $XVFB_PID 2>/dev/null
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

# start_torv FOLDER: starts $BUILD/torv in FOLDER with stdout in $OUT and the
# exit status in $RC, then waits for its window ($WIN) and its first frames.
start_torv() {
    ( cd "$1" && "$BUILD/torv" >"$OUT" 2>&1; echo $? >"$RC" ) &
    APP=$!
    wait_for 60 xdotool search --name '^Torv$' || fail "no window titled Torv"
    WIN=$(xdotool search --name '^Torv$' | head -n1)
    xdotool windowfocus "$WIN" 2>/dev/null
    wait_for 120 grep -q ' fps$' "$OUT" || fail "no frames: $(cat "$OUT")"
}
