#!/usr/bin/env bash
# Crash soak of the library's saves and deletions: many rounds of
# tests/tools/library-kill.sh (./test.sh runs a few).
#
#   scripts/soak-kill-library.sh [rounds] [seed]
#
# Uses the build in $YOMORA_BUILD_DIR (build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${YOMORA_BUILD_DIR:-build}
cmake --build "$build" --target yomora-cli yomora-library-state >/dev/null
exec tests/tools/library-kill.sh "$build/tests/yomora-library-state" "$build/yomora-cli" "${1:-150}" "${2:-$(date +%s)}"
