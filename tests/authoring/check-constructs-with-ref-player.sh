#!/bin/bash
# Runs every compiler construct case of data/constructs through the reference player and compares
# its trace output with the expected lines. A development check: it needs Chromium and the
# reference player, so it is not part of CTest.
#   tests/authoring/check-constructs-with-ref-player.sh <build folder>
set -u
build=${1:?usage: $0 <build folder>}
here=$(cd "$(dirname "$0")" && pwd)
ref_play=${REF_PLAY:-$here/../../../shared/tools/ref-player/ref-play}
if [ ! -x "$ref_play" ]; then
    echo "skipped: the reference player is not installed ($ref_play)"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: > "$work/batch.txt"
for source in "$here"/data/constructs/*.as; do
    name=$(basename "$source" .as)
    if ! "$build/bin/skrv-build" --script "$source" -o "$work/$name.swf"; then
        echo "FAIL $name: does not compile"
        continue
    fi
    echo "--frames 1 --trace $work/$name.txt $work/$name.swf" >> "$work/batch.txt"
done
"$ref_play" --fast --batch "$work/batch.txt" 2> "$work/status.txt" || cat "$work/status.txt"
failures=0
for source in "$here"/data/constructs/*.as; do
    name=$(basename "$source" .as)
    if diff -u "${source%.as}.expected" "$work/$name.txt" > "$work/$name.diff" 2>&1; then
        echo "ok   $name"
    else
        echo "FAIL $name"
        head -40 "$work/$name.diff"
        failures=$((failures + 1))
    fi
done
echo "$failures failing case(s)"
[ "$failures" -eq 0 ]
