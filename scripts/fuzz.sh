#!/usr/bin/env bash
# Builds a libFuzzer target with clang and sanitizers in its own build directory
# and runs it for a while. Usage: scripts/fuzz.sh [target] [seconds]
#   scripts/fuzz.sh tokenizer 60
# Targets live in fuzz/<target>.cpp. New inputs found are kept in
# build-fuzz/corpus-<target>; a crash leaves its input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-tokenizer}
seconds=${2:-60}
build=${YOMORA_FUZZ_BUILD_DIR:-build-fuzz}

./scripts/install-deps.sh
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j 2 --target "fuzz_$target"

corpus="$(realpath -m "$build/corpus-$target")"
mkdir -p "$corpus"
seeds=()
for dir in ../shared/fixtures/real-pages ../../shared/fixtures/real-pages; do
  if [ -d "$dir" ]; then
    seeds+=("$(realpath "$dir")")
    break
  fi
done

options=(-max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1)
if [ -f "fuzz/$target.dict" ]; then
  options+=(-dict="$(realpath "fuzz/$target.dict")")
fi

cd "$build"
# Real pages are read as seeds only; libFuzzer writes into the first folder.
"./fuzz_$target" "${options[@]}" "$corpus" "${seeds[@]}"
