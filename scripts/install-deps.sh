#!/usr/bin/env bash
# Installs the Debian 12 packages that Yomora builds, tests and runs with,
# but only those that are missing, so a second call costs a dpkg query.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  libturbojpeg0-dev libjpeg62-turbo-dev libicu-dev libcurl4-openssl-dev libsqlite3-dev
  libminizip-dev zlib1g-dev libplist-dev libplist++-dev
  googletest libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev
  libxml2-dev libclang-rt-14-dev
  xvfb xauth curl python3 zip unzip
  appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  apt_get=(apt-get)
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  apt_get=(sudo apt-get)
elif command -v sudo >/dev/null 2>&1; then
  apt_get=(sudo apt-get)
else
  echo "error: these packages are missing and neither root nor sudo is available:" >&2
  echo "  ${missing[*]}" >&2
  echo "Ask an administrator to run: apt-get install ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${apt_get[@]}" update -qq
"${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
