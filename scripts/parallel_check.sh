#!/usr/bin/env bash
# zandor-check under GNU parallel, as the README gives the recipe, against one process on the
# same large file: the answers must be the same bytes, in the same order. The file (about 40
# MiB) starts with a UTF-8 byte-order mark and holds the bench's mixed lines, the test data's
# entries (separators, blanks, CR LF, invalid bytes), a 3 MiB line and a last line without a
# line end. Blocks of 16 MiB, as in the recipe, and of 1 MiB, so that many parts meet.
# Usage: parallel_check.sh ZANDOR_CHECK
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

python3 "$top/bench/summarise.py" make-lines 100000 mixed > mixed.txt
{
    printf '\xef\xbb\xbf'
    for _ in $(seq 20); do
        cat mixed.txt "$top/tests/data/entries.txt"
    done
    head -c 3145728 /dev/zero | tr '\0' 7
    printf '\n4111111111111111'
} > cards.txt

export LC_ALL=C.UTF-8 PATH="$(dirname "$tool"):$PATH"
zandor-check cards.txt > one.txt
status=0
for block in 16M 1M; do
    parallel --pipepart -a cards.txt --block "$block" -k zandor-check > parts.txt
    if cmp -s one.txt parts.txt; then
        echo "parallel: --block $block gives the same $(wc -l < one.txt) answers as one process"
    else
        echo "FAIL: parallel: --block $block answers differ from one process:"
        cmp one.txt parts.txt || true
        status=1
    fi
done
exit $status
