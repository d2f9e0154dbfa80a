#!/usr/bin/env bash
# torv-render as a user runs it: help, refusals with a one-line reason and a
# non-zero status, a real picture, and the benchmark's JSON.
set -u
BUILD=${1:?build directory}
R="$BUILD/torv-render"
. "$(dirname "$0")/xvfb_lib.sh"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

"$R" --help | grep -q -- "--output FILE.png" || fail "--help does not describe --output"

expect_refusal() { # expected-text args...
    local want=$1; shift
    local err status
    err=$("$R" "$@" 2>&1 >/dev/null); status=$?
    [ $status -ne 0 ] || fail "torv-render $* succeeded"
    [ "$(printf '%s\n' "$err" | grep -c .)" -eq 1 ] || fail "torv-render $*: not one line: $err"
    printf '%s' "$err" | grep -q -- "$want" || fail "torv-render $*: '$err' does not mention '$want'"
}
expect_refusal "no scene file" --output "$OUT/a.png"
expect_refusal "no --output" scenes/s_test.sce
expect_refusal "cannot read scene file" "$OUT/missing.sce" --output "$OUT/a.png"
expect_refusal "--resolution" scenes/s_test.sce --output "$OUT/a.png" --resolution 800x800
expect_refusal "--resolution" scenes/s_test.sce --output "$OUT/a.png" --resolution 0,10
expect_refusal "--lines" scenes/s_test.sce --output "$OUT/a.png" --lines maybe
expect_refusal "--select" scenes/s_test.sce --output "$OUT/a.png" --select one
expect_refusal "out of range" scenes/s_test.sce --output "$OUT/a.png" --select 99
expect_refusal "--camera-position" scenes/s_test.sce --output "$OUT/a.png" --camera-position 1,2
expect_refusal "unknown option" scenes/s_test.sce --output "$OUT/a.png" --bogus
expect_refusal "cannot write" scenes/s_test.sce --output "$OUT/no/such/dir/a.png"
expect_refusal "end in .png" scenes/s_test.sce --output "$OUT/a.jpg"
expect_refusal "--antialias" scenes/s_test.sce --output "$OUT/a.png" --antialias 5
mkfifo "$OUT/fifo.sce"
expect_refusal "cannot read scene file" "$OUT/fifo.sce" --output "$OUT/a.png"
# Files the scene reader refuses are unreadable, not scenes without models.
printf 'global 40\n\0meshnode\n' >"$OUT/nul.sce"
expect_refusal "cannot read scene file" "$OUT/nul.sce" --output "$OUT/a.png"
head -c 1100000 /dev/zero | tr '\0' x >"$OUT/long.sce"
expect_refusal "cannot read scene file" "$OUT/long.sce" --output "$OUT/a.png"
printf 'ply\nformat ascii 1.0\nelement vertex 1\n' >"$OUT/cut.ply"
# The importer never returns on this cut-off header: the import is stopped at
# its time limit (60 s unless TORV_IMPORT_TIMEOUT says otherwise; a few
# seconds tell the same story).
TORV_IMPORT_TIMEOUT=3 expect_refusal "model $OUT/cut.ply could not be imported: the import took longer than 3 s" \
    "$OUT/cut.ply" --output "$OUT/a.png"
# Past the file-size limit the picture is not written, the old one is kept,
# and the reason is one line with status 2 (not death by SIGXFSZ).
printf 'old' >"$OUT/old.png"
(
    ulimit -f 2
    err=$("$R" scenes/machine.sce --output "$OUT/old.png" 2>&1 >/dev/null); status=$?
    [ $status -eq 2 ] || fail "--output past the file-size limit: status $status"
    [ "$err" = "torv-render: cannot write $OUT/old.png: File too large" ] || fail "past the file-size limit: $err"
) || exit 1
[ "$(cat "$OUT/old.png")" = old ] || fail "the old picture was replaced by a broken one"
[ "$(ls "$OUT" | grep -c tmp)" -eq 0 ] || fail "a temporary file was left: $(ls "$OUT")"
rm "$OUT/old.png"
# A failure is one line whatever the stream: the importer's own lines and a
# warning are held back. Points alone place nothing drawable.
all=$(TORV_IMPORT_TIMEOUT=3 "$R" "$OUT/cut.ply" --output "$OUT/a.png" 2>&1)
[ "$(printf '%s\n' "$all" | grep -c .)" -eq 1 ] || fail "a failed import printed more than one line: $all"
printf 'ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\nend_header\n0 0 0\n1 0 0\n0 1 0\n' >"$OUT/points.ply"
expect_refusal "nothing drawable" "$OUT/points.ply" --output "$OUT/a.png"
all=$("$R" "$OUT/points.ply" --output "$OUT/a.png" 2>&1)
[ "$(printf '%s\n' "$all" | grep -c .)" -eq 1 ] || fail "points alone printed more than one line: $all"
printf 'global 40\n' >"$OUT/empty.sce"
expect_refusal "places no models" "$OUT/empty.sce" --output "$OUT/a.png"
printf 'meshnode\nfile no_such_model.obj\nendmeshnode\n' >"$OUT/broken.sce"
expect_refusal "no_such_model.obj could not be imported" "$OUT/broken.sce" --output "$OUT/a.png"
[ ! -e "$OUT/a.png" ] || fail "a refused render wrote a picture"
# The viewer answers these without a display: a window attempt would print more.
for arg in --version --help; do
    out=$(env -u DISPLAY "$BUILD/torv" $arg 2>&1) || fail "torv $arg failed"
    printf '%s\n' "$out" | grep -q "ERROR" && fail "torv $arg tried to open a window: $out"
done
[ "$(env -u DISPLAY "$BUILD/torv" --version 2>&1)" = "$(sed 's/-render//' <<<"$("$R" --version)")" ] ||
    fail "torv --version: $("$BUILD/torv" --version)"
env -u DISPLAY "$BUILD/torv" --help | grep -q "Usage: torv" || fail "torv --help"
"$R" --version | grep -qx "torv-render [0-9.]*" || fail "--version: $("$R" --version)"

"$R" scenes/s_test.sce --output "$OUT/start.png" --select 3 --lines on >/dev/null || fail "render failed"
identify "$OUT/start.png" | grep -q "PNG 800x800" || fail "not an 800x800 PNG: $(identify "$OUT/start.png")"
"$R" scenes/machine.sce --output "$OUT/small.png" --resolution 320,240 >/dev/null || fail "small render failed"
identify "$OUT/small.png" | grep -q "PNG 320x240" || fail "resolution ignored: $(identify "$OUT/small.png")"

JSON=$("$R" scenes/s_test.sce --output "$OUT/b.png" --select 3 --bench 3 | grep -v '^Loaded model')
for key in '"image": \[800, 800\]' '"frames": 3' '"triangles": [1-9]' '"frame_ms": {"mean": [0-9.]*, "median"' \
    '"cutaway": {"mean"' '"cell": {"mean"' \
    '"cut_over_plain": {"cut_ms": [0-9.]*, "plain_ms": [0-9.]*, "ratio": [0-9.]*, "full_flood_cut_ms": [0-9.]*'; do
    printf '%s' "$JSON" | grep -q "$key" || fail "benchmark JSON lacks $key: $JSON"
done
echo "torv-render command line passed"
