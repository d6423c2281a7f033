#!/usr/bin/env bash
# Builds the whole test suite with clang and a sanitizer, in a build folder of
# its own, and runs it. Exits non-zero when a test fails or a sanitizer reports.
#   scripts/sanitize.sh asan   AddressSanitizer with UndefinedBehaviorSanitizer
#   scripts/sanitize.sh tsan   ThreadSanitizer
#   scripts/sanitize.sh asan --build TARGET   only builds that target
# YOMORA_SANITIZE_BUILD_DIR overrides the folder (default build-asan / build-tsan);
# extra arguments go to ctest (for example -R Deducer). The ASan build also
# carries the fuzzer's coverage and the fuzz targets (scripts/fuzz.sh), so the
# engine is compiled once for both.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-}
shift || true
case "$kind" in
asan)
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
  compile_flags="-fsanitize=fuzzer-no-link"
  fuzz=ON
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  ;;
tsan)
  flags="-fsanitize=thread"
  compile_flags=
  fuzz=OFF
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
  ;;
*)
  echo "usage: scripts/sanitize.sh asan|tsan [ctest arguments]" >&2
  exit 2
  ;;
esac

target=
if [[ "${1:-}" == --build ]]; then
  target=${2:?--build needs a target}
  shift 2
fi

./scripts/install-deps.sh
build=${YOMORA_SANITIZE_BUILD_DIR:-build-$kind}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="-O1 -g -fno-omit-frame-pointer $flags $compile_flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DYOMORA_BUILD_BENCH=OFF -DYOMORA_BUILD_FUZZ=$fuzz >/dev/null
if [[ -n "$target" ]]; then
  exec cmake --build "$build" -j "$(nproc)" --target "$target"
fi
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 900 "$@"
