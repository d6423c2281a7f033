#!/usr/bin/env bash
# Builds a libFuzzer target with clang and sanitizers (inside the
# AddressSanitizer build of scripts/sanitize.sh, build-asan/) and runs it for
# a while. Usage: scripts/fuzz.sh [target] [seconds]
#   scripts/fuzz.sh tokenizer 60
# Targets live in fuzz/<target>.cpp:
#   tokenizer, lists, chapters, latest, reader_pages (page text parsers),
#   url_parsers, cropper (image bytes), settings (the settings file),
#   store (the library file), zip (zip reading and unpacking).
# Seeds come from fuzz/corpus/<target> (kept in the repository) and, for the
# page parsers, the saved real pages when they are present. New inputs found
# are kept in build-asan/corpus-<target>; a crash leaves its input in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-tokenizer}
seconds=${2:-60}
build=${YOMORA_SANITIZE_BUILD_DIR:-build-asan}

if [ ! -f "fuzz/$target.cpp" ]; then
  echo "no fuzz target '$target' (fuzz/*.cpp)" >&2
  exit 2
fi
YOMORA_SANITIZE_BUILD_DIR="$build" ./scripts/sanitize.sh asan --build "fuzz_$target"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

corpus="$(realpath -m "$build/corpus-$target")"
mkdir -p "$corpus"
seeds=()
if [ -d "fuzz/corpus/$target" ]; then
  seeds+=("$(realpath "fuzz/corpus/$target")")
fi
case "$target" in
tokenizer | lists | chapters | latest | reader_pages)
  for dir in ../shared/fixtures/real-pages ../../shared/fixtures/real-pages; do
    if [ -d "$dir" ]; then
      seeds+=("$(realpath "$dir")")
      break
    fi
  done
  ;;
esac

max_len=4096
case "$target" in
cropper | store | zip) max_len=16384 ;;
esac
options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1)
dict="fuzz/$target.dict"
case "$target" in
lists | chapters | latest | reader_pages) dict=fuzz/pages.dict ;;
esac
if [ -f "$dict" ]; then
  options+=(-dict="$(realpath "$dict")")
fi

cd "$build"
# Seeds are read only; libFuzzer writes into the first folder.
"./fuzz/fuzz_$target" "${options[@]}" "$corpus" "${seeds[@]}"
