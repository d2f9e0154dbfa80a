#!/usr/bin/env bash
# Installs into a temporary prefix, moves the installation elsewhere and
# renders a shipped scene with the installed torv-render from an unrelated
# folder: the programs must find their data beside themselves.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cmake --install "$BUILD" --prefix "$WORK/first" >/dev/null
for f in bin/torv bin/torv-render share/torv/shaders/cellshader.frag share/torv/scenes/s_test.sce \
    share/torv/fonts share/torv/models/moon.ply; do
    [ -e "$WORK/first/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
mv "$WORK/first" "$WORK/moved"
mkdir "$WORK/elsewhere"
cd "$WORK/elsewhere"
out=$("$WORK/moved/bin/torv-render" scenes/s_test.sce --output picture.png --select 3 --lines on)
identify picture.png | grep -q "PNG 800x800" || { echo "FAIL: no picture: $out"; exit 1; }
# Every model came from the moved installation, none from the source tree.
[ "$(grep -c "^Loaded model from $WORK/moved/share/torv/" <<<"$out")" -eq 5 ] ||
    { echo "FAIL: models not read from the installation: $out"; exit 1; }
"$WORK/moved/bin/torv" --version | grep -q "^torv " || { echo "FAIL: installed torv --version"; exit 1; }
echo "install check passed"
