#!/usr/bin/env bash
# yomora-cli download fetches a loopback chapter of every site layout into a
# fresh home tree and lists each as complete afterwards; the last one, asked
# with --autosave, goes straight into the library.
set -euo pipefail
site_bin=$1
cli=$2
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

"$site_bin" --pages 4 >"$work/sites" &
site_pid=$!
for _ in $(seq 100); do grep -q '^ready' "$work/sites" && break; sleep 0.1; done
grep -q '^ready' "$work/sites" || { echo "the fake site did not start"; exit 1; }

root="$work/root"
n=0
while read -r layout option url; do
    [ "$layout" = ready ] && break
    n=$((n + 1))
    autosave=()
    [ "$layout" = mangahere ] && autosave=(--autosave)
    "$cli" download "$url" --book "Book $layout" --chapter "Chapter $n" --number "$n" \
        --root "$root" "$option" "${autosave[@]}" >"$work/out-$layout" 2>&1 || {
        echo "download from $layout failed:"; cat "$work/out-$layout"; exit 1; }
done <"$work/sites"

"$cli" downloads --root "$root" >"$work/list"
cat "$work/list"
[ "$(grep -c ': Complete$' "$work/list")" -eq 3 ] || { echo "expected three complete downloads"; exit 1; }
"$cli" library --root "$root" | grep -q '^Book mangahere' || { echo "the auto-saved chapter is not in the library"; exit 1; }
# Every page file is a whole image.
count=$(find "$root" -name '00[0-3].jpg' -size +1k | wc -l)
[ "$count" -eq 16 ] || { echo "expected 16 page files, found $count"; exit 1; }
echo "ok"
