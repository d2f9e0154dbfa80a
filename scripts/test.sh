#!/usr/bin/env bash
# Builds and runs every test: unit, headless GL, shader validation and the
# end-to-end tests of the real programs under Xvfb.
# --sanitize builds with AddressSanitizer + UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh "$@"
dir=build
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    # Mesa's and LLVM's own allocations are not ours to report.
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # llvmpipe's worker threads racing the leak checker's stop-the-world at
    # exit can crash the checker itself; render on the calling thread instead.
    export LP_NUM_THREADS=0
fi
ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure --timeout 600
