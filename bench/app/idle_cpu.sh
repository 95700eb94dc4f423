#!/bin/sh
# The main window's processor use while the user does nothing: starts the program with no
# settings (so the first sample template by name, Car, is shown) on a virtual display, waits for
# it to settle, then reads the process's user and system time over a span and prints it as a
# percentage of one core.
#
#     bench/app/idle_cpu.sh [program] [seconds] [settle seconds]
#
# The program defaults to build/bin/skarvelle2, whose folder must hold the sample templates
# (the skrv_content target builds them). Needs xvfb-run; with QT_QPA_PLATFORM=offscreen
# already set it runs without a display instead.
set -eu

program=${1:-build/bin/skarvelle2}
span=${2:-10}
settle=${3:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# The wrapper shell writes its own id and then becomes the program, so the id is the program's.
launch='echo $$ > "$0"; exec "$@"'
if [ "${QT_QPA_PLATFORM:-}" = offscreen ]; then
    sh -c "$launch" "$work/pid" "$program" >"$work/log" 2>&1 &
else
    xvfb-run -a -s '-screen 0 1280x1024x24' sh -c "$launch" "$work/pid" "$program" >"$work/log" 2>&1 &
fi
runner=$!

tries=0
while [ ! -s "$work/pid" ] && [ $tries -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
if [ ! -s "$work/pid" ]; then
    echo "the program did not start" >&2
    cat "$work/log" >&2
    exit 1
fi
pid=$(cat "$work/pid")
sleep "$settle"

# Fields 14 and 15 of /proc/<pid>/stat are user and system time in clock ticks; the command name
# in field 2 is in parentheses and has no spaces here.
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hertz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$span"
after=$(ticks)

# A program stuck in a dialog does not end on a polite request; it gets five seconds.
kill "$pid" 2>/dev/null || true
tries=0
while [ -d "/proc/$pid" ] && [ $tries -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
kill -KILL "$pid" 2>/dev/null || true
wait "$runner" 2>/dev/null || true

awk -v used=$((after - before)) -v hz="$hertz" -v span="$span" \
    'BEGIN { printf "idle processor use over %d s: %.1f%% of one core\n", span, 100.0 * used / hz / span }'
