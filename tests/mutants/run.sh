#!/usr/bin/env bash
# Plants each fault of faults.txt alone in a scratch copy of the tree, rebuilds it incrementally
# and prints "what|failing tests". The e2e tests are left out (slow).
# Usage: tests/mutants/run.sh [SCRATCH_DIR] [GREP_PATTERN_OF_FAULTS] [FAULTS_FILE]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=${1:-/tmp/muranko-mutants}
src=$scratch/src build=$scratch/build
rm -rf "$src" && mkdir -p "$src"
tar -C "$root" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$src" -xf -
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null || exit 1
grep -v '^#' "${3:-$root/tests/mutants/faults.txt}" | grep -e "${2:-}" | while IFS= read -r line; do
    [ -n "$line" ] || continue
    file=${line%%|*} what=${line##*|}
    cp "$src/$file" "$scratch/original"
    if ! python3 -c 'import re, sys
file, old, new, _ = [f.replace("\\|", "|").replace("\\n", "\n") for f in re.split(r"(?<!\\)\|", sys.argv[2])]
t = open(sys.argv[1] + "/" + file).read(); assert t.count(old) == 1, "not found once"
open(sys.argv[1] + "/" + file, "w").write(t.replace(old, new))' "$src" "$line"; then
        echo "$what|NOT PLANTED"
        continue
    fi
    if cmake --build "$build" >/dev/null 2>&1 </dev/null; then
        caught=$(QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -E '^e2e' --timeout 30 \
            --parallel "$(nproc)" 2>/dev/null </dev/null |
            sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' | paste -sd' ')
        echo "$what|${caught:-NOT CAUGHT}"
    else
        echo "$what|(does not build)"
    fi
    cp "$scratch/original" "$src/$file"
done
cmake --build "$build" >/dev/null
