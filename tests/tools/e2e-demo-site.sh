#!/usr/bin/env bash
# The whole flow against the demo site, through yomora-cli: a site's lists,
# a book's chapters and the latest releases; a chapter downloaded with
# auto-save, found in the library with its pages and margins, exported and
# imported back under another source; the chapter with the missing page
# ending incomplete until the site is repaired and the download retried.
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
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

"$site_bin" --port 0 --seed 5 --delay-ms 0 >"$work/sites" &
site_pid=$!
for _ in $(seq 100); do grep -q '^control ' "$work/sites" && break; sleep 0.1; done
grep -q '^control ' "$work/sites" || fail "the demo site did not start"
sites=()
while read -r name url; do
    case "$name" in
    control) control=$url ;;
    *) sites+=(--site "$name=$url") ;;
    esac
done <"$work/sites"
here=$(awk '$1 == "mangahere" { print $2 }' "$work/sites")
root="$work/root"
special() { curl -sf "${control}specials" | awk -v kind="$1" '$1 == "mangahere" && $2 == kind { print $3 }'; }

# Lists: forty made-up titles; the licensed ones are filtered out.
"$cli" books "${here}mangalist/" "${sites[@]}" >"$work/books"
[ "$(wc -l <"$work/books")" -eq 40 ] || fail "expected 40 books, got $(wc -l <"$work/books")"
book_url=$(head -1 "$work/books" | cut -f2)
book_title=$(head -1 "$work/books" | cut -f1)

# A book's details and chapters, highest first, each with its number.
"$cli" chapters "$book_url" "${sites[@]}" >"$work/chapters"
grep -q '^author: ' "$work/chapters" || fail "no author on the book page"
grep -q '^cover: http' "$work/chapters" || fail "no cover on the book page"
sed '1,/^$/d' "$work/chapters" >"$work/chapter-lines"
[ -s "$work/chapter-lines" ] || fail "no chapters"
first_number=$(head -1 "$work/chapter-lines" | cut -f3)
last_number=$(tail -1 "$work/chapter-lines" | cut -f3)
awk -v a="$first_number" -v b="$last_number" 'BEGIN { exit !(a + 0 > b + 0) }' ||
    fail "chapters not highest first ($first_number .. $last_number)"

# Latest releases: today's special chapters lead.
"$cli" latest "${here}latest/" "${sites[@]}" >"$work/latest"
head -1 "$work/latest" | grep -q $'\tToday$' || fail "the latest releases do not start today"
grep -qF "$(special missing-page)" "$work/latest" || fail "the missing-page chapter is not among the latest"

# A chapter downloaded with auto-save: every page arrives whole, named by
# its number.
chapter_url=$(tail -1 "$work/chapter-lines" | cut -f2)
chapter_label=$(tail -1 "$work/chapter-lines" | cut -f1)
"$cli" download "$chapter_url" --book "$book_title" --chapter "$chapter_label" \
    --number "$last_number" --autosave --root "$root" "${sites[@]}" >"$work/out-saved" 2>&1 ||
    { cat "$work/out-saved"; fail "the auto-saved download"; }
pages=$(find "$root" -type f \( -name '[0-9][0-9][0-9].jpg' -o -name '[0-9][0-9][0-9].png' \) -size +1k | wc -l)
[ "$pages" -ge 4 ] || fail "expected at least four whole pages, found $pages"
[ -n "$(find "$root" -type f -name '000.*' -size +1k)" ] || fail "no first page named 000"

# The library holds it: the book with one chapter of that number, whose pages
# each have a size and the margins measured on them.
"$cli" library --root "$root" >"$work/library"
grep -qF "$book_title"$'\t' "$work/library" || { cat "$work/library"; fail "the saved book is not in the library"; }
"$cli" library "$book_title" --root "$root" >"$work/book"
[ "$(cut -f1,3 "$work/book")" = "$last_number"$'\t'"$pages" ] ||
    { cat "$work/book"; fail "expected chapter $last_number with $pages pages"; }
"$cli" library "$book_title" "$last_number" --root "$root" >"$work/saved-pages"
[ "$(wc -l <"$work/saved-pages")" -eq "$pages" ] || { cat "$work/saved-pages"; fail "the pages of the saved chapter"; }
awk -F'\t' '$4 == "0-0" || $3 ~ /^0x/ { exit 1 }' "$work/saved-pages" ||
    { cat "$work/saved-pages"; fail "a saved page without its size or margins"; }

# Exported, the zip holds every page file; imported back under another
# source, the book has the same title and the chapter the same number, files,
# sizes and margins (measured again on import).
"$cli" export "$book_title" "$last_number" --out "$work/export" --root "$root" >"$work/out-export" 2>&1 ||
    { cat "$work/out-export"; fail "the export"; }
zip=$(tail -1 "$work/out-export")
[ -f "$zip" ] || fail "no zip at $zip"
unzip -Z1 "$zip" | sed 's|.*/||' | sort >"$work/zipped"
cut -f2 "$work/saved-pages" | sort | diff - "$work/zipped" >/dev/null || fail "the zip does not hold the page files"
"$cli" import "$zip" --source demo-copy --root "$root" >"$work/out-import" 2>&1 ||
    { cat "$work/out-import"; fail "the import"; }
"$cli" library --root "$root" >"$work/library"
imported=$(awk -F'\t' '$2 == "demo-copy" { print $1 }' "$work/library")
[ -n "$imported" ] || { cat "$work/library"; fail "the imported book is not in the library"; }
[ "$imported" = "$book_title" ] || fail "the title \"$book_title\" came back as \"$imported\""
# The title is now held under two sources: without --source it is refused,
# naming both.
if "$cli" library "$imported" --root "$root" >/dev/null 2>"$work/ambiguous"; then
    fail "an ambiguous title was taken"
fi
grep -q 'demo-copy' "$work/ambiguous" || { cat "$work/ambiguous"; fail "the refusal does not list the sources"; }
"$cli" library "$imported" --source demo-copy --root "$root" | cut -f1,3 >"$work/imported-book"
[ "$(cat "$work/imported-book")" = "$last_number"$'\t'"$pages" ] ||
    { cat "$work/imported-book"; fail "expected imported chapter $last_number with $pages pages"; }
"$cli" library "$imported" "$last_number" --source demo-copy --root "$root" >"$work/imported-pages"
diff "$work/saved-pages" "$work/imported-pages" || fail "the imported pages differ from the saved ones"

# A zip of two chapter folders whose names say nothing takes one number per
# chapter, in the folders' order, and one volume for both.
mkdir -p "$work/two/Two_Chapters/ch1" "$work/two/Two_Chapters/ch2"
(cd "$work/two/Two_Chapters/ch1" && unzip -qj "$zip")
(cd "$work/two/Two_Chapters/ch2" && unzip -qj "$zip")
(cd "$work/two" && zip -qr Two_Chapters.zip Two_Chapters)
if "$cli" import "$work/two/Two_Chapters.zip" --title Twofold --source demo-two --chapter 7 \
    --root "$root" >"$work/out-two" 2>&1; then
    fail "one chapter number was taken for two chapters"
fi
"$cli" import "$work/two/Two_Chapters.zip" --title Twofold --source demo-two --chapter 7,8.5 --volume 2 \
    --root "$root" >"$work/out-two" 2>&1 || { cat "$work/out-two"; fail "the import of two chapters"; }
"$cli" library Twofold --root "$root" | cut -f1,3 >"$work/two-chapters"
[ "$(cat "$work/two-chapters")" = "20007"$'\t'"$pages"$'\n'"20008.5"$'\t'"$pages" ] ||
    { cat "$work/two-chapters"; fail "expected chapters 20007 and 20008.5 of volume 2"; }

# The chapter with the missing page ends incomplete; repaired, a retry completes it.
missing=$(special missing-page)
if "$cli" download "$missing" --book "Missing" --chapter "Missing 1" --number 1 \
    --root "$root" "${sites[@]}" >"$work/out-missing" 2>&1; then
    fail "the chapter with the missing page completed"
fi
"$cli" downloads --root "$root" >"$work/downloads"
line=$(grep ' Missing / Missing 1: ' "$work/downloads") || { cat "$work/downloads"; fail "no missing-page download"; }
[[ "$line" == *": Incomplete (1 pages missing)" ]] || fail "the missing page is not reported: $line"
n=${line%%.*}
curl -sf "${control}repair" >/dev/null || fail "the repair address"
"$cli" retry "$n" --root "$root" "${sites[@]}" >"$work/out-retry" 2>&1 ||
    { cat "$work/out-retry"; fail "the retry"; }
"$cli" downloads --root "$root" >"$work/downloads"
grep -q "^$n\. Missing / Missing 1: Complete\$" "$work/downloads" ||
    { cat "$work/downloads"; fail "the retry did not complete the chapter"; }
echo "ok"
