#!/usr/bin/env bash
# Installs what is missing, builds Release, and starts Yomora with the given options.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=${YOMORA_BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DYOMORA_BUILD_TESTS=OFF -DYOMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target yomora yomora-cli
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found. Run Yomora under a virtual display:" >&2
  echo "  xvfb-run ./run.sh $*" >&2
  echo "or without any window at all:" >&2
  echo "  QT_QPA_PLATFORM=offscreen ./run.sh $*" >&2
  exit 1
fi
exec "$build/yomora" "$@"
