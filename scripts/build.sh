#!/usr/bin/env bash
# Installs what is missing and builds into build/ (or build-asan/ with --sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build
extra=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    extra=(-DTORV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
