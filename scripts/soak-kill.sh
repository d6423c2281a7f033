#!/usr/bin/env bash
# Crash-consistency soak of the download engine.
#
#   scripts/soak-kill.sh [rounds] [seed]
#
# Each round, in a fresh home tree: yomora-cli download fetches a 300-page
# chapter from the loopback fake site and is killed with SIGKILL at a random
# moment; yomora-cli retry is started on the same download and, in half of
# the rounds, killed too; then the store is checked (it opens, no page or
# chapter without its owner, every page marked downloaded with a size has a
# file of exactly the served bytes), and a last retry must complete the
# chapter with every page good. Uses the build in $YOMORA_BUILD_DIR (build).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-50}
seed=${2:-$(date +%s)}
build=${YOMORA_BUILD_DIR:-build}
cli=$build/yomora-cli
site_bin=$build/tests/yomora-fake-site
[ -x "$cli" ] && [ -x "$site_bin" ] || { echo "build yomora-cli and yomora-fake-site in $build first"; exit 2; }
echo "seed $seed, rounds $rounds"
RANDOM=$seed

work=$(mktemp -d)
site_pid=
cleanup() {
    if [ -n "$site_pid" ]; then
        kill "$site_pid" 2>/dev/null || true
        wait "$site_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

"$site_bin" --pages 300 --layout mangareader >"$work/site" &
site_pid=$!
for _ in $(seq 100); do grep -q '^ready' "$work/site" && break; sleep 0.1; done
read -r _ site_option chapter_url <"$work/site"

fail() {
    echo "round $round: $*"
    echo "seed $seed: survived $((round - 1)) of $rounds rounds"
    exit 1
}

# Starts a command, kills it after a random 0 to 4.5 seconds.
run_and_kill() {
    "$@" >"$work/out" 2>&1 &
    local pid=$!
    sleep "$(printf '%d.%03d' $((RANDOM % 5)) $((RANDOM % 1000)))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# The store's own view of the home tree after a crash.
check_store() {
    local root=$1 db
    "$cli" downloads --root "$root" >"$work/list" 2>&1 || fail "the store does not open: $(cat "$work/list")"
    db=$(find "$root" -name CoreData.sqlite | head -1)
    [ -n "$db" ] || return 0
    local orphans
    orphans=$(sqlite3 "$db" "SELECT (SELECT count(*) FROM Page WHERE chapter IS NULL OR chapter NOT IN
                                     (SELECT id FROM Chapter))
                                  + (SELECT count(*) FROM Chapter WHERE book IS NULL OR book NOT IN
                                     (SELECT id FROM Book));")
    [ "$orphans" -eq 0 ] || fail "$orphans pages or chapters without their owner"
    local -A dirs=()
    while IFS='|' read -r chapter uuid; do
        [ -n "${dirs[$chapter]:-}" ] || dirs[$chapter]=$(find "$root" -type d -name "$chapter" | head -1)
        [ -n "${dirs[$chapter]}" ] || fail "no directory for chapter $chapter"
        cmp -s "${dirs[$chapter]}/$uuid" "$work/reference" || fail "page file $uuid differs from what was served"
    done < <(sqlite3 "$db" "SELECT c.uuid, p.uuid FROM Page p JOIN Chapter c ON p.chapter = c.id
                             WHERE p.isDownloaded = 1 AND p.width > 0 AND p.height > 0;")
}

round=1
while [ "$round" -le "$rounds" ]; do
    root="$work/root"
    rm -rf "$root"
    args=(--root "$root" "$site_option")
    run_and_kill "$cli" download "$chapter_url" --book Soak --chapter "Round $round" --number 1 "${args[@]}"
    if [ ! -s "$work/reference" ]; then
        db=$(find "$root" -name CoreData.sqlite | head -1)
        url=$( [ -n "$db" ] && sqlite3 "$db" "SELECT url FROM Page LIMIT 1;" || true)
        [ -n "$url" ] || url=${chapter_url%/goong/1}/goong/1/goong-1.jpg
        curl -sf -o "$work/reference" "$url" || true
    fi
    check_store "$root"
    if ! "$cli" downloads "${args[@]}" | grep -q '^1\. '; then
        # Killed before the record was stored: nothing to retry yet.
        "$cli" download "$chapter_url" --book Soak --chapter "Round $round" --number 1 "${args[@]}" \
            >"$work/out" 2>&1 || true
    fi
    if [ $((RANDOM % 2)) -eq 0 ]; then
        run_and_kill "$cli" retry 1 "${args[@]}"
        check_store "$root"
    fi
    "$cli" retry 1 "${args[@]}" >"$work/out" 2>&1 || fail "the retry did not complete: $(tail -3 "$work/out")"
    check_store "$root"
    db=$(find "$root" -name CoreData.sqlite | head -1)
    good=$(sqlite3 "$db" "SELECT count(*) FROM Page WHERE isDownloaded = 1 AND width > 0 AND height > 0;")
    [ "$good" -eq 300 ] || fail "$good of 300 pages good after the retry"
    printf 'round %d ok\n' "$round"
    round=$((round + 1))
done
echo "seed $seed: survived $rounds of $rounds rounds"
