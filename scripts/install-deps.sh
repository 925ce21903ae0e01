#!/usr/bin/env bash
# Installs what the build, the tests and the main job need on Debian 12 (run as root).
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake make g++ googletest zlib1g-dev libfontconfig-dev libfreetype-dev pkg-config
  g++-mingw-w64-i686-posix mingw-w64-tools libz-mingw-w64-dev
  wine wine32:i386 libwine-dev fonts-wine
  xvfb xauth x11-apps xdotool imagemagick
  fonts-liberation fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea fonts-dejavu-core
  fonts-urw-base35
  qpdf poppler-utils mupdf-tools time
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
# A mirror in the middle of a sync fails the index update now and then: try
# again, and at the end go on with whatever indexes arrived.
for attempt in 1 2 3 4 5; do
  apt-get update -qq && break
  echo "install-deps: package index update failed (attempt $attempt), retrying" >&2
  sleep $((attempt * 10))
done
for attempt in 1 2 3; do
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null && exit 0
  echo "install-deps: install failed (attempt $attempt), retrying" >&2
  sleep $((attempt * 10))
  apt-get update -qq || true
done
echo "install-deps: could not install ${missing[*]}" >&2
exit 1
