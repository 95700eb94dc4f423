#!/bin/bash
# Plays every sample template and Effects.swf in skrv-play and in the reference player (another
# player, run in headless Chromium), and compares the FSCommand sequences and the pictures of the
# first frame. Skips (exit 77) when either player is missing; never installs anything.
#   tests/authoring/compare-with-ref-player.sh <program folder, e.g. build/bin> [--commands-only]
# With --commands-only (as CTest runs it) the picture differences are reported but only the
# FSCommand sequences must agree.
set -u
bin=${1:?usage: $0 <program folder> [--commands-only]}
commands_only=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
ref_play=${REF_PLAY:-$here/../../../shared/tools/ref-player/ref-play}
ref_home=${REF_PLAYER_HOME:-${XDG_CACHE_HOME:-$HOME/.cache}/ref-player}
# The picture may differ by this much (root mean square error, 0 to 1) and still look alike.
picture_limit=0.08

skip() {
    echo "skipped: $1"
    exit 77
}
[ -x "$ref_play" ] || skip "the reference player is not there ($ref_play)"
# ref-play installs itself on first use; a check must not, so it needs the finished install.
[ -f "$ref_home/node_modules/.package-lock.json" ] || skip "the reference player is not installed (run its install.sh)"
command -v chromium-headless-shell > /dev/null || command -v chromium > /dev/null \
    || [ -n "${REF_PLAYER_CHROMIUM:-}" ] || skip "Chromium is not installed"
[ -x "$bin/skrv-play" ] || skip "$bin/skrv-play has not been built"
[ -x "$bin/skrv-build" ] || skip "$bin/skrv-build has not been built"
command -v compare > /dev/null || skip "ImageMagick's compare is not installed"

work=$(mktemp -d)
# COMPARE_ARTIFACTS=folder keeps both players' pictures and command lists there.
trap '[ -n "${COMPARE_ARTIFACTS:-}" ] && mkdir -p "$COMPARE_ARTIFACTS" && cp "$work"/*.png "$work"/*.fs "$COMPARE_ARTIFACTS"/; rm -rf "$work"' EXIT

# The templates talk to their host from scripts; without them there is nothing to compare yet.
printf 'trace("probe");\n' > "$work/probe.as"
"$bin/skrv-build" --script "$work/probe.as" -o "$work/probe.swf" || exit 1
probe=$(timeout 60 "$bin/skrv-play" --frames 1 "$work/probe.swf" 2> /dev/null)
[ "$probe" = "probe" ] || skip "skrv-play does not run scripts yet"
movies=(Chair.skrv Stool.skrv Car.skrv Effects.swf)
: > "$work/batch.txt"
for movie in "${movies[@]}"; do
    [ -f "$bin/$movie" ] || { echo "FAIL $movie: not built"; exit 1; }
    cp "$bin/$movie" "$work/$movie"
    echo "--frames 2 --fscommands $work/$movie.ref.fs --trace $work/$movie.ref.trace --png $work/$movie.ref.png $work/$movie" >> "$work/batch.txt"
done
"$ref_play" --fast --batch "$work/batch.txt" 2> "$work/ref-status.txt" || { cat "$work/ref-status.txt"; exit 1; }

failures=0
for movie in "${movies[@]}"; do
    if ! timeout 120 "$bin/skrv-play" --frames 2 --fscommands "$work/$movie.own.fs" --trace "$work/$movie.own.trace" \
        --png "$work/$movie.own.png" "$work/$movie" > /dev/null 2> "$work/$movie.own.err"; then
        echo "FAIL $movie: skrv-play failed: $(head -1 "$work/$movie.own.err")"
        failures=$((failures + 1))
        continue
    fi
    verdict="ok  "
    if cmp -s "$work/$movie.ref.fs" "$work/$movie.own.fs"; then
        commands="same FSCommands ($(wc -l < "$work/$movie.ref.fs"))"
    else
        commands="FSCommands differ:
$(diff "$work/$movie.ref.fs" "$work/$movie.own.fs" | head -20)"
        verdict="FAIL"
    fi
    difference=$(compare -metric RMSE "$work/$movie.ref.png" "$work/$movie.own.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
    if [ -z "$difference" ] || awk -v d="$difference" -v limit="$picture_limit" 'BEGIN { exit !(d > limit) }'; then
        [ "$commands_only" = "--commands-only" ] && difference="$difference, over the limit" || verdict="FAIL"
    fi
    echo "$verdict $movie: $commands; picture difference ${difference:-not comparable} (limit $picture_limit)"
    [ "$verdict" = "ok  " ] || failures=$((failures + 1))
done
echo "$failures of ${#movies[@]} movies differ"
[ "$failures" -eq 0 ]
