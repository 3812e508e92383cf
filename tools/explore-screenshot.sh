#!/bin/sh
# Takes the README's picture of the explore view: seed 2026's window on a 1600 x 1000 screen
# (Xvfb with openbox), E pressed, the explore window alone. Needs xvfb, openbox, xdotool and
# ImageMagick's import.  Usage: tools/explore-screenshot.sh [OUT.jpg] [KEYS...]
set -eu
out=$(realpath -m "${1:-docs/explore.jpg}")
[ $# -gt 0 ] && shift
keys=${*:-e}
genart=$(realpath "${GENART:-build-default/genart}")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
xvfb-run -a -s '-screen 0 1600x1000x24' sh -c '
    openbox >/dev/null 2>&1 & wm=$!
    sleep 1
    "$1" --seed 2026 --no-history >/dev/null 2>&1 & app=$!
    main=$(xdotool search --sync --name "^Form1$" | head -1)
    sleep 1
    xdotool windowactivate --sync "$main"
    xdotool key --window "$main" $3
    view=$(xdotool search --sync --name "genart: explore" | head -1)
    sleep 2
    import -window "$view" -quality 85 "$2"
    kill "$app" "$wm"
    wait' sh "$genart" "$out" "$keys"
echo "wrote $out"
