#!/bin/sh
# Fails when a tracked C or C++ source is not formatted by the project's .clang-format.
top=${1:-.}
cd "$top" || exit 2
command -v clang-format >/dev/null 2>&1 || { echo "clang-format not installed"; exit 1; }
if git rev-parse --git-dir >/dev/null 2>&1; then
    files=$(git ls-files '*.cpp' '*.h' '*.c')
else
    files=$(find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' -o -name '*.c' 2>/dev/null)
fi
[ -n "$files" ] || exit 0
bad=0
for f in $files; do
    [ -f "$f" ] || continue
    if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        bad=1
    fi
done
exit $bad
