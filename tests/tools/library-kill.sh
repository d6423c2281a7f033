#!/usr/bin/env bash
# Crash rounds of the library's saves and deletions. Each round copies a
# prepared home tree, starts one of save-downloads, delete-downloads or
# delete-read with yomora-cli, kills it with SIGKILL at a random moment, then
# starts yomora-cli again (the start settles interrupted moves and resumes
# pending removals) and checks that no page record lacks its file and no file
# is left that nothing owns. The command is then run to its end and the
# result checked again.
#
#   library-kill.sh STATE_BIN CLI [rounds] [seed]
set -euo pipefail
state_bin=$1
cli=$2
rounds=${3:-9}
seed=${4:-$(date +%s)}
RANDOM=$seed
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED (seed $seed): $*" >&2
    exit 1
}

"$state_bin" prepare --root "$work/template" || fail "could not prepare the library"

# Milliseconds each command takes uninterrupted, so that kills land anywhere
# inside it.
declare -A took
commands=(save-downloads delete-downloads delete-read)
# Called directly, not through a function, so that $! is the program itself.
arguments() {
    args=("$1")
    [ "$1" = delete-read ] && args+=(Kill)
    args+=(--yes --root "$2")
}
for command in "${commands[@]}"; do
    rm -rf "$work/timed" && cp -a "$work/template" "$work/timed"
    start=$(date +%s%N)
    arguments "$command" "$work/timed"
    "$cli" "${args[@]}" >/dev/null 2>&1 || fail "$command did not finish"
    took[$command]=$((($(date +%s%N) - start) / 1000000 + 1))
done

# What each command leaves when it ends: downloads, library chapters.
declare -A after=([save-downloads]="downloads 0 chapters 24" [delete-downloads]="downloads 1 chapters 12"
    [delete-read]="downloads 12 chapters 1")

settle_and_check() {
    "$cli" library --root "$1" >"$work/start" 2>&1 || { cat "$work/start"; fail "the start after the kill failed ($2)"; }
    "$state_bin" check --root "$1" >"$work/check" || { cat "$work/check"; fail "$2"; }
}

for round in $(seq "$rounds"); do
    command=${commands[$((round % 3))]}
    delay=$((RANDOM % took[$command]))
    root="$work/round"
    rm -rf "$root" && cp -a "$work/template" "$root"
    arguments "$command" "$root"
    "$cli" "${args[@]}" >/dev/null 2>&1 &
    pid=$!
    sleep "$(printf '0.%03d' "$delay")"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    settle_and_check "$root" "$command killed after $delay ms"
    read -r _ downloads _ chapters <"$work/check"
    [ $((downloads + chapters)) -le 24 ] || fail "$command killed after $delay ms left $downloads + $chapters"
    if [ "$command" = save-downloads ]; then
        [ $((downloads + chapters)) -eq 24 ] || fail "save-downloads killed after $delay ms lost a chapter"
    fi
    "$cli" "${args[@]}" >/dev/null 2>&1 || fail "$command after the kill"
    settle_and_check "$root" "$command finished after a kill"
    [ "$(cat "$work/check")" = "${after[$command]}" ] ||
        fail "$command finished after a kill: $(cat "$work/check"), expected ${after[$command]}"
done
echo "$rounds rounds, seed $seed"
