#!/usr/bin/env bash
# Builds the viewer and starts it. Without a display, renders the start scene
# with its inner object selected to out/start-scene.png instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/torv
fi
mkdir -p out
./build/torv-render scenes/s_test.sce --output out/start-scene.png --select 3 --lines on
echo "No display: rendered the start scene to $(pwd)/out/start-scene.png"
