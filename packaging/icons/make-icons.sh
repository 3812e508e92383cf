#!/usr/bin/env bash
# Draws genart's icons from one of its own pictures: start-up's picture of seed 1 at twice the
# size, a 480-pixel square around its rings (well above the caption rows), scaled down to each
# icon size with Qt's smooth scaling. Writes packaging/icons/genart-N.png; commit what it writes.
#   packaging/icons/make-icons.sh [BUILD_DIR]     (default build-default, configured already)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-default}
cmake --build "$build" --target genart genart_icon_maker
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/genart" render --seed 1 --time 2026-12-08T12:00:00 --scale 2 --out "$tmp/picture.png"
"$build/packaging/genart_icon_maker" "$tmp/picture.png" 325 0 480 "$here" 16 24 32 48 64 128 256
ls -l "$here"/genart-*.png
