#!/usr/bin/env bash
# Installs what is missing, builds Release, and starts Yomora with the given options.
#   ./run.sh --demo [options]   also starts the demo site (a made-up catalogue
#   in the layout of every site Yomora reads, on 127.0.0.1), points the app at
#   it, and keeps the app's data apart (<data>/demo unless --root is given).
#   The site stops when the app quits.
set -euo pipefail
cd "$(dirname "$0")"

demo=0
args=()
for arg in "$@"; do
  if [[ "$arg" == --demo ]]; then
    demo=1
  else
    args+=("$arg")
  fi
done

./scripts/install-deps.sh
build=${YOMORA_BUILD_DIR:-build-release}
targets=(yomora yomora-cli)
if ((demo)); then
  targets+=(yomora-demo-site)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DYOMORA_BUILD_TESTS=OFF -DYOMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found. Run Yomora under a virtual display:" >&2
  echo "  xvfb-run ./run.sh $*" >&2
  echo "or without any window at all:" >&2
  echo "  QT_QPA_PLATFORM=offscreen ./run.sh $*" >&2
  exit 1
fi
if ((!demo)); then
  exec "$build/yomora" "${args[@]}"
fi

# The demo's library lives apart from the real one.
has_root=0
for arg in "${args[@]}"; do
  [[ "$arg" == --root || "$arg" == --root=* ]] && has_root=1
done
if ((!has_root)); then
  root="${YOMORA_ROOT:-${XDG_DATA_HOME:-$HOME/.local/share}}/demo"
  mkdir -p "$root"
  args+=(--root "$root")
fi

addresses=$(mktemp)
site_pid=
app_pid=
stop() {
  trap - EXIT INT TERM
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill -TERM "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  if [[ -n "$site_pid" ]]; then
    kill -TERM "$site_pid" 2>/dev/null || true
    wait "$site_pid" 2>/dev/null || true
  fi
  rm -f "$addresses"
}
trap stop EXIT
trap 'stop; exit 130' INT TERM

"$build/yomora-demo-site" --port 0 >"$addresses" &
site_pid=$!
for _ in $(seq 100); do
  grep -q '^control ' "$addresses" && break
  kill -0 "$site_pid" 2>/dev/null || { echo "The demo site did not start." >&2; exit 1; }
  sleep 0.1
done
while read -r name url; do
  case "$name" in
  mangafox | mangareader | mangahere | onemanga) args+=(--site "$name=$url") ;;
  control) echo "Demo site: $url" ;;
  esac
done <"$addresses"

"$build/yomora" "${args[@]}" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
exit "$status"
