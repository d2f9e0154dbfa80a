#!/usr/bin/env bash
# Every GLSL file under shaders/ must pass the reference compiler.
set -u
VALIDATOR=${1:-glslangValidator}
status=0
count=0
for f in shaders/*.vert shaders/*.frag; do
    [ -e "$f" ] || continue
    count=$((count + 1))
    if ! out=$("$VALIDATOR" "$f" 2>&1); then
        echo "$out"
        echo "FAIL: $f"
        status=1
    fi
done
echo "validated $count shader files"
exit $status
