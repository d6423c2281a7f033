#!/usr/bin/env bash
# Renders every screen, phone and tablet layout, into PNG files in DIR
# (default: screenshots/ in the source tree), offscreen, as NAME-phone.png and
# NAME-tablet.png. Only the scenes whose names start with a PREFIX when any is
# given (scripts/screenshots.sh out viewer). Builds the renderer first.
#     scripts/screenshots.sh [DIR] [PREFIX...]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$source_dir/screenshots}")
cd "$source_dir"
build=${YOMORA_BUILD_DIR:-build}
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target yomora-screenshots -j "$(nproc)" >/dev/null
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/yomora-screenshots" "$out" "${@:2}"
