#!/usr/bin/env bash
# Stages an install of a build the way a package is made
# (DESTDIR=... cmake --install BUILD --prefix /usr) and checks what a desktop
# and a software centre find in it.
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr

for program in yomora yomora-cli; do
  [[ -x $usr/bin/$program ]] || fail "bin/$program is missing or not executable"
done
# The staged programs run by themselves, with no path back into the build.
"$usr/bin/yomora" --help | grep -q '^usage: yomora' || fail "the staged yomora does not run"
"$usr/bin/yomora-cli" --help >/dev/null 2>&1 || fail "the staged yomora-cli does not run"

shopt -s nullglob
desktops=("$usr"/share/applications/*.desktop)
metainfos=("$usr"/share/metainfo/*.xml)
[[ ${#desktops[@]} -eq 1 ]] || fail "expected one launcher entry, found ${#desktops[@]}"
[[ ${#metainfos[@]} -eq 1 ]] || fail "expected one metainfo file, found ${#metainfos[@]}"
if [[ $failures -ne 0 ]]; then
  exit 1
fi
desktop=${desktops[0]}
metainfo=${metainfos[0]}
app_id=$(basename "$desktop" .desktop)

# The entry starts a program that is installed and names an icon that is.
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $usr/bin/$exec_program ]] || fail "Exec=$exec_program is not an installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ $icon == "$app_id" ]] || fail "Icon=$icon is not the application's id $app_id"
[[ -f $usr/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon $icon.svg"
# The software centre finds the launcher through the metainfo.
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"

# Every rendered size is a PNG of that size, in the folder of that size.
sizes=0
for png in "$usr"/share/icons/hicolor/*x*/apps/"$icon".png; do
  sizes=$((sizes + 1))
  folder=$(basename "$(dirname "$(dirname "$png")")")
  read -r width height < <(python3 - "$png" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read(24)
if data[:8] != b'\x89PNG\r\n\x1a\n':
    print(0, 0)
else:
    print(*struct.unpack('>II', data[16:24]))
PY
)
  [[ "${width}x${height}" == "$folder" ]] || fail "$png is ${width}x${height}, not $folder"
done
[[ $sizes -ge 4 ]] || fail "only $sizes PNG sizes of the icon"
for size in 48 256; do
  [[ -f $usr/share/icons/hicolor/${size}x${size}/apps/$icon.png ]] || fail "no ${size}x${size} icon"
done

# Debian's own validators (desktop-file-utils, appstream).
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $(basename "$desktop")"
appstreamcli validate --no-net "$metainfo" >/dev/null || {
  appstreamcli validate --no-net "$metainfo" >&2 || true
  fail "appstreamcli refuses $(basename "$metainfo")"
}

if [[ $failures -ne 0 ]]; then
  echo "$failures problem(s) in the staged install" >&2
  exit 1
fi
echo "staged install: ok ($sizes icon sizes)"
