#!/usr/bin/env bash
# Every GLSL stage under shaders/ must pass the reference compiler, with the
# files it includes joined in as the program joins them at load.
set -u
VALIDATOR=${1:-glslangValidator}
status=0
count=0
join() {
    local line
    while IFS= read -r line || [ -n "$line" ]; do
        if [[ $line =~ ^#include\ \"([^\"]+)\" ]]; then
            join < "shaders/${BASH_REMATCH[1]}"
        else
            printf '%s\n' "$line"
        fi
    done
}
for f in shaders/*.vert shaders/*.frag; do
    [ -e "$f" ] || continue
    count=$((count + 1))
    if ! out=$(join < "$f" | "$VALIDATOR" --stdin -S "${f##*.}" 2>&1); then
        echo "$out"
        echo "FAIL: $f"
        status=1
    fi
done
echo "validated $count shader files"
exit $status
