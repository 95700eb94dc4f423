#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a given number of seconds.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Inputs that crash are saved in tests/fuzz/regressions/<target>/, where the test suite replays
# them; fix the fault, keep the input.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

scripts/install-deps.sh
fuzz_packages=(clang libclang-rt-14-dev llvm)
missing=()
for package in "${fuzz_packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(swf_reader image_header movie_commands movie_playback texture_images template_details)
fi

build=build-fuzz
if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKRV_FUZZ=ON -DSKRV_BENCHMARKS=OFF > /dev/null
fi
cmake --build "$build" --parallel "$(nproc)" --target skrv_content "${targets[@]/#/fuzz_}"

# Seeds, made afresh each run and never committed.
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
mkdir -p "$seeds/swf_reader" "$seeds/image_header" "$seeds/movie_commands" "$seeds/movie_playback" \
  "$seeds/texture_images" "$seeds/template_details"
cp "$build"/bin/*.skrv "$build"/bin/Effects.swf "$seeds/swf_reader/"
if [[ -d ../shared/conformance ]]; then
  # find ends by SIGPIPE once head has its 400, which is no failure.
  { find ../shared/conformance -name '*.swf' -size -512k -print0 || true; } | head -z -n 400 |
    xargs -0 -I{} sh -c 'cp "$1" "$2/$(echo "$1" | md5sum | cut -c1-16).swf"' _ {} "$seeds/swf_reader"
fi
find src/authoring/content -name '*.jpg' -o -name '*.png' | xargs -I{} cp {} "$seeds/image_header/"
for format in gif bmp png jpg; do
  convert -size 7x5 gradient:red-blue "$seeds/image_header/small.$format"
done
# Movies are played as well as read; templates also go through the catalogue; pictures are
# decoded as textures.
cp "$seeds/swf_reader/"* "$seeds/movie_playback/"
cp "$build"/bin/*.skrv "$seeds/template_details/"
cp "$seeds/image_header/"* "$seeds/texture_images/"
printf '256x256' > "$seeds/movie_commands/size"
printf ' 5 12 x 2 56' > "$seeds/movie_commands/blanks"
printf '2.7' > "$seeds/movie_commands/index"
printf 'my.car.skrv' > "$seeds/movie_commands/title"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus" "tests/fuzz/regressions/$target"
  echo "== fuzz_$target for ${seconds}s"
  "$build/bin/fuzz_$target" "$corpus" "$seeds/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="tests/fuzz/regressions/$target/" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+[[:space:]]+DONE|==[0-9]+==ERROR|SUMMARY|artifact_prefix)' || true
done
