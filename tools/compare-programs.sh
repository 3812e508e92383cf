#!/usr/bin/env bash
# Runs two builds of genart over the same command lines and compares every file they write,
# byte for byte, with their exit statuses and messages: for a change that must not alter any
# picture, strip, recipe or loop.
#   tools/compare-programs.sh OLD_GENART NEW_GENART [--quick]
# Each command runs in a fresh folder of its own for each program. MP4s that differ in their
# bytes are compared frame by frame when a decoder program is given in MP4_FRAMES (it prints
# one line per frame, such as a checksum); otherwise they must be identical. Ends with
# "N same, 0 different", or lists what differed and exits 1.
set -uo pipefail
old=${1:?usage: compare-programs.sh OLD NEW [--quick]}
new=${2:?usage: compare-programs.sh OLD NEW [--quick]}
quick=${3:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen
same=0
different=0
n=0
moment=(--time 2026-12-08T12:00:00)

# Runs one command line (the arguments after "render") with both programs and compares.
compare() {
    n=$((n + 1))
    local side
    for side in old new; do
        local program=$old
        [[ $side == new ]] && program=$new
        mkdir -p "$scratch/$n/$side"
        # A file to replace, a recipe to read: whatever the case puts there first.
        if [[ -n "${setup:-}" ]]; then (cd "$scratch/$n/$side" && eval "$setup"); fi
        (cd "$scratch/$n/$side" && "$program" render "$@" >stdout 2>stderr; echo $? >status)
        # The programs' own names in their messages are not a difference.
        sed -i "s#$program#genart#g" "$scratch/$n/$side/stderr"
    done
    local verdict=same
    if ! diff -r --no-dereference "$scratch/$n/old" "$scratch/$n/new" >"$scratch/$n/diff" 2>&1; then
        verdict=different
        # MP4s may differ in their bytes and not in their frames.
        if [[ -n "${MP4_FRAMES:-}" ]]; then
            verdict=same
            while read -r line; do
                local file=${line#Binary files }
                file=${file%% and *}
                if [[ "$file" == *.mp4 ]] && cmp -s <("$MP4_FRAMES" "$file") <("$MP4_FRAMES" "${file/\/old\//\/new\/}"); then
                    continue
                fi
                verdict=different
            done <"$scratch/$n/diff"
        fi
    fi
    if [[ $verdict == same ]]; then
        same=$((same + 1))
    else
        different=$((different + 1))
        echo "DIFFERENT: render $*"
        head -5 "$scratch/$n/diff"
    fi
    rm -rf "${scratch:?}/$n"
    setup=
}

seeds=(1 7 42 2026 31337)
[[ $quick == --quick ]] && seeds=(7 42)

for seed in "${seeds[@]}"; do
    for actions in "" image palette both image,palette both,palette,image palette,both,palette; do
        picked=()
        [[ -n $actions ]] && picked=(--actions "$actions")
        compare --seed "$seed" "${moment[@]}" "${picked[@]}" --out p.png --palette-out s.png
    done
    for format in png jpg jpeg webp; do
        compare --seed "$seed" "${moment[@]}" --out p.$format --palette-out s.$format
        compare --seed "$seed" "${moment[@]}" --actions both --scale 2 --out p.$format
        compare --seed "$seed" "${moment[@]}" --size 1920x1080 --no-caption --out p.$format
        compare --seed "$seed" "${moment[@]}" --size 360x640 --out p.$format
    done
    compare --seed "$seed" "${moment[@]}" --scale 3 --out p.png --palette-out s.webp
    compare --seed "$seed" "${moment[@]}" --actions image,palette --size 601x451 --out p.png --palette-out s.png
    compare --seed "$seed" "${moment[@]}" --size 1x1 --out p.png
    compare --seed "$seed" "${moment[@]}" --size 1200x900 --out p.png
    compare --seed "$seed" "${moment[@]}" --quality 50 --out p.jpg
    compare --seed "$seed" "${moment[@]}" --quality 80 --out p.webp --palette-out s.png
    compare --seed "$seed" "${moment[@]}" --png-level 0 --out p.png
    compare --seed "$seed" "${moment[@]}" --png-level 9 --scale 2 --out p.png
    # Recipes read back from each format, drawn again at other sizes.
    for format in png jpg webp; do
        setup="\"$old\" render --seed $seed ${moment[*]} --actions image --out r.$format"
        compare --recipe r.$format --out again.png --palette-out strip.png
        setup="\"$old\" render --seed $seed ${moment[*]} --actions both --out r.$format"
        compare --recipe r.$format --scale 2 --no-caption --out again.$format
    done
    setup="\"$old\" render --seed $seed ${moment[*]} --size 800x200 --out r.png"
    compare --recipe r.png --size 2000x900 --out again.jpg --quality 70
    # Batches.
    compare --seed "$seed" "${moment[@]}" --count 1 --out-dir d --quiet
    compare --seed "$seed" "${moment[@]}" --count 12 --out-dir d --quiet
    compare --seed "$seed" "${moment[@]}" --count 5 --out-dir d/e/f --keep-palette --palettes --quiet
    compare --seed "$seed" "${moment[@]}" --count 4 --out-dir d --scale 2 --png-level 6 --quiet
    compare --seed "$seed" "${moment[@]}" --count 4 --out-dir d --size 300x500 --no-caption --palettes --quiet
    # Loops.
    compare --seed "$seed" "${moment[@]}" --animate --frames 6 --fps 10 --size 240x180 --out l.webp
    compare --seed "$seed" "${moment[@]}" --actions image,palette --animate --frames 4 --out l.webp --no-caption
    compare --seed "$seed" "${moment[@]}" --animate --frames 5 --fps 25 --scale 1 --out l.mp4
    compare --seed "$seed" "${moment[@]}" --animate --frames 3 --size 241x181 --out l.mp4
    setup="\"$old\" render --seed $seed ${moment[*]} --out r.png"
    compare --recipe r.png --animate --frames 4 --size 300x200 --out l.webp
done

# Files in the way, replaced or not, and refusals.
setup='echo old >p.png'
compare --seed 3 "${moment[@]}" --out p.png
setup='echo old >p.png'
compare --seed 3 "${moment[@]}" --out p.png --force
setup='echo old >target.png; ln -s target.png p.png'
compare --seed 3 "${moment[@]}" --out p.png --force
setup='mkdir p.png'
compare --seed 3 "${moment[@]}" --out p.png --force
setup='mkdir -p d; echo old >d/T20261208120000-2.png'
compare --seed 3 "${moment[@]}" --count 3 --out-dir d --quiet
setup='mkdir -p d; echo old >d/T20261208120000-2.png'
compare --seed 3 "${moment[@]}" --count 3 --out-dir d --quiet --force
setup='echo old >l.webp'
compare --seed 3 "${moment[@]}" --animate --frames 2 --size 60x45 --out l.webp
compare --seed 3 "${moment[@]}" --out p.gif
compare --seed 3 "${moment[@]}" --size 16384x10 --out p.webp
compare --seed 3 "${moment[@]}" --out missing/p.png
compare --seed 3 "${moment[@]}" --animate --out l.png
compare --recipe nothing.png --out p.png

# Loops as GIF, fitted to a budget, and pictures from share codes and variations.
setup=
compare --seed 5 "${moment[@]}" --animate --frames 6 --size 120x90 --out l.gif
compare --seed 5 "${moment[@]}" --animate --frames 8 --size 160x120 --share=60k --out l --quiet
compare --seed 5 "${moment[@]}" --animate --frames 8 --share=200k --out l.mp4 --quiet
compare --code "$(cd "$scratch" && "$old" render --seed 6 "${moment[@]}" --out c.png >/dev/null && "$old" code c.png)" --out again.png
compare --seed 7 "${moment[@]}" --variations 3 --strength 0.7 --out-dir v --quiet
compare --seed 7 "${moment[@]}" --recolourings 2 --out-dir v --quiet

echo "$same same, $different different"
[[ $different -eq 0 ]]
