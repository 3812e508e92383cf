#!/usr/bin/env bash
# Checks genart as it is installed.
#   tools/check-package.sh                builds the Debian package (make package), runs lintian on
#                                         it, unpacks it into a temporary folder and checks that
#   tools/check-package.sh --deb FILE     checks that package file instead, without building one
#   tools/check-package.sh --tree BUILD   installs BUILD (cmake --install --strip) into a temporary
#                                         folder and checks that
# What is checked in the installed tree: every file in its place, the desktop entry, metainfo and
# manual page with their validators, icons of the size their folder names, the recipe files' MIME
# type and thumbnailer, a stripped program, and the installed program drawing a picture. Ends with "N passed, 0 failed", or exits 1 at the first
# check that fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
id=org.orvanik.genart
passed=0

fail() {
    echo "check-package: FAILED: $*" >&2
    echo "$passed passed, 1 failed"
    exit 1
}
pass() {
    passed=$((passed + 1))
    echo "ok: $*"
}

# Width and height of a PNG, from its header.
png_size() {
    local bytes
    bytes=($(od -An -tu1 -j16 -N8 "$1"))
    echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))x$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}
is_png() {
    [[ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" == 89504e470d0a1a0a ]]
}

# The paragraphs of a manual page's source (.TP, then a tag line) whose tag names option $1.
option_paragraphs() {
    tag="${1//-/\\-}" awk '
        BEGIN { tag = ENVIRON["tag"] }
        /^\.TP/ { tagged = 1; inside = 0; next }
        /^\.(SH|SS|PP)/ { inside = 0 }
        tagged {
            tagged = 0
            at = index($0, tag)
            after = substr($0, at + length(tag), 1)
            if ((at == 4 || at == 5) && (after == " " || after == "")) inside = 1
        }
        inside { print }' "$2"
}

# Runs a command that must succeed and print nothing on either stream.
silent() {
    local what=$1 out
    shift
    out=$("$@" 2>&1 >/dev/null) || fail "$what: exit status $?: $out"
    [[ -z "$out" ]] || fail "$what: $out"
    pass "$what"
}

# A recipe file as genart wrote it for seed 1 at 2026-12-08T12:00:00.
seed_1_recipe() {
    cat <<'RECIPE'
genart-recipe=1
imeslike=T20261208120000
palette.base=0x1.cp+3
palette.spread=0x1.3p+4
palette.scale1=0x1.bp+4
palette.scale2=0x1.fp+4
palette.scale3=0x1.cp+3
palette.phase1=0x1.9bf753c28f5c3p-1
palette.phase2=0x1.e60dcf70a3d71p+0
palette.phase3=0x1.9188cb428f5c3p+2
palette.stretch1=0x1.ef6606p+4
palette.stretch2=0x1.328cdp+5
palette.stretch3=0x1.e95e2p+3
picture.tip1=0x1.8p+2
picture.tip2=0x1p+0
picture.tip3=0x1p+1
picture.pozic0=0x1.bp+6
picture.fi0=0x1.0d5019f6f9db2p+2
picture.r0=0x1.185bd4p+1
picture.fak1=0x1.35afaep+4
picture.fak2=0x1.ec6bdcp+3
picture.fak3=0x1.2768e6p+4
carried.ba=0x0p+0
carried.re=0x1.f2b7ebedf366dp+7
carried.gr=0x1.7209081987388p+2
carried.bl=0x1.f7f2587952f9ap+7
carried.barva=0x0p+0
RECIPE
}

# The MIME type of recipe files is accepted by shared-mime-info and knows them by name and by
# their first line; the thumbnailer, run as a file manager runs it, writes a PNG of the size asked.
check_recipe_type() {
    local bin=$1 mime=$2 thumbnailer=$3 scratch=$4 out
    silent "xmllint --noout $(basename "$mime")" xmllint --noout "$mime"
    mkdir -p "$scratch/mime/packages"
    cp "$mime" "$scratch/mime/packages/"
    out=$(update-mime-database -V "$scratch/mime" 2>&1) || fail "update-mime-database: $out"
    if grep -Ei "warning|error|invalid|unknown|fail" <<<"$out"; then
        fail "update-mime-database complains: $out"
    fi
    grep -q ":application/x-genart-recipe:\*\.genart" "$scratch/mime/globs2" || fail "no *.genart glob in the MIME database"
    grep -q "genart-recipe=" "$scratch/mime/magic" || fail "no recipe magic in the MIME database"
    [[ -f "$scratch/mime/application/x-genart-recipe.xml" ]] || fail "the MIME database lacks application/x-genart-recipe"
    pass "update-mime-database takes application/x-genart-recipe: *.genart and the recipe's first line"

    grep -qx "MimeType=application/x-genart-recipe;" "$thumbnailer" || fail "the thumbnailer is not for recipe files"
    local exec
    exec=$(sed -n 's/^Exec=//p' "$thumbnailer")
    [[ "$exec" == "genart "* ]] || fail "the thumbnailer does not run genart: $exec"
    seed_1_recipe >"$scratch/shared.genart"
    exec=${exec/#genart/$bin}
    exec=${exec//%s/256}
    exec=${exec//%i/$scratch/shared.genart}
    exec=${exec//%o/$scratch/thumbnail.png}
    # Word splitting is how file managers read Exec; the scratch folder holds no spaces.
    $exec || fail "the thumbnailer ($exec): exit status $?"
    is_png "$scratch/thumbnail.png" || fail "the thumbnailer wrote no PNG"
    [[ "$(png_size "$scratch/thumbnail.png")" == 256x192 ]] \
        || fail "the thumbnail is $(png_size "$scratch/thumbnail.png"), not 256x192"
    pass "the thumbnailer draws a .genart file as a 256x192 PNG"
}

check_tree() {
    local prefix=$1 scratch=$2
    local bin=$prefix/bin/genart
    local desktop=$prefix/share/applications/$id.desktop
    local metainfo=$prefix/share/metainfo/$id.metainfo.xml
    local manpage=$prefix/share/man/man1/genart.1.gz
    local doc=$prefix/share/doc/genart
    local mime=$prefix/share/mime/packages/$id.xml
    local thumbnailer=$prefix/share/thumbnailers/genart.thumbnailer

    [[ -x "$bin" ]] || fail "no program at $bin"
    for file in "$desktop" "$metainfo" "$manpage" "$doc/copyright" "$doc/changelog.gz" "$mime" "$thumbnailer"; do
        [[ -f "$file" ]] || fail "missing $file"
    done
    pass "program, desktop entry, metainfo, manual page, copyright, changelog, MIME type and thumbnailer installed"

    local units=$prefix/lib/systemd/user saver=$prefix/share/xscreensaver/config/genart.xml
    for file in "$units/genart-wallpaper.service" "$units/genart-wallpaper.timer" "$saver"; do
        [[ -f "$file" ]] || fail "missing $file"
    done
    grep -qx "ExecStart=genart wallpaper" "$units/genart-wallpaper.service" \
        || fail "the daily service does not run genart wallpaper"
    grep -qx "OnCalendar=daily" "$units/genart-wallpaper.timer" || fail "the timer is not daily"
    grep -q '<screensaver name="genart"' "$saver" || fail "the xscreensaver file does not name genart"
    pass "the daily wallpaper's user units and xscreensaver's file installed"

    for size in 16 24 32 48 64 128 256; do
        local icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
        [[ -f "$icon" ]] || fail "missing $icon"
        is_png "$icon" || fail "$icon is not a PNG"
        [[ "$(png_size "$icon")" == "${size}x${size}" ]] || fail "$icon is $(png_size "$icon"), not ${size}x${size}"
    done
    pass "icons at 16 24 32 48 64 128 256, each of its folder's size"

    silent "desktop-file-validate $id.desktop" desktop-file-validate "$desktop"
    grep -qx "Exec=genart %f" "$desktop" || fail "the desktop entry does not run genart with the file opened"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
    grep -qx "Name=genart" "$desktop" || fail "the desktop entry is not named genart"
    grep -qx "Categories=Graphics;" "$desktop" || fail "the desktop entry is not in Graphics"
    pass "desktop entry runs genart with icon $id"
    grep -qx "MimeType=application/x-genart-recipe;" "$desktop" || fail "the desktop entry does not open recipe files"
    pass "desktop entry opens application/x-genart-recipe"

    check_recipe_type "$bin" "$mime" "$thumbnailer" "$scratch"

    local validation
    validation=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $validation"
    pass "appstreamcli validate --no-net $id.metainfo.xml"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch $id.desktop"
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
    pass "metainfo names $id and launches its desktop entry"

    silent "man --warnings genart.1.gz" man --warnings -l "$manpage"
    gzip -dc "$manpage" >"$scratch/genart.1"
    silent "groff -ww -z -man genart.1" groff -ww -z -man "$scratch/genart.1"
    local option
    for option in --seed --out --palette-out --actions --time --scale --force --recipe --count \
        --out-dir --keep-palette --palettes --quiet --help --version --no-history --size --no-caption \
        --quality --png-level --animate --frames --fps --code --new --favourite --entry --set-on --daily \
        --slideshow --seconds --favourites --cycle --root --window-id; do
        grep -qF -- "${option//-/\\-}" "$scratch/genart.1" || fail "the manual page does not mention $option"
    done
    pass "the manual page covers every option"

    # Every range the manual page gives is the one genart accepts, as limits/limits.h states it.
    local pair limit range paragraphs
    for pair in --seed:kSeeds --size:kSides --scale:kScales --frames:kFrames --fps:kFps --quality:kQualities \
        --png-level:kPngLevels --count:kCounts; do
        option=${pair%%:*}
        limit=${pair#*:}
        range=$(sed -n "s/.*constexpr Range $limit{\([0-9]*\), \([0-9]*\)}.*/\1 to \2/p" "$root/limits/limits.h")
        [[ -n "$range" ]] || fail "limits/limits.h states no $limit"
        paragraphs=$(option_paragraphs "$option" "$scratch/genart.1")
        [[ -n "$paragraphs" ]] || fail "the manual page has no paragraph on $option"
        grep -qF -- "$range" <<<"$paragraphs" || fail "the manual page does not give $option's range, $range"
    done
    pass "the manual page gives every option's range as genart accepts it"

    grep -q "Permission is hereby granted" "$doc/copyright" || fail "the copyright file lacks the licence"
    gzip -t "$doc/changelog.gz" || fail "changelog.gz is not gzip"
    pass "copyright holds the licence; changelog is compressed"

    if readelf -S "$bin" | grep -q '\.symtab'; then
        fail "$bin is not stripped"
    fi
    pass "the installed program is stripped"

    "$bin" --help >"$scratch/help.txt" || fail "genart --help: exit status $?"
    grep -q "genart render" "$scratch/help.txt" || fail "genart --help does not describe genart render"
    "$bin" render --seed 1 --out "$scratch/x.png" || fail "genart render --seed 1: exit status $?"
    is_png "$scratch/x.png" || fail "genart render wrote no PNG"
    [[ "$(png_size "$scratch/x.png")" == 600x450 ]] || fail "the picture is $(png_size "$scratch/x.png"), not 600x450"
    pass "the installed program draws a 600x450 picture"

    # MP4s come from a module the program loads from the installed library folder.
    "$bin" render --seed 1 --animate --frames 2 --out "$scratch/loop.mp4" --quiet \
        || fail "genart render --animate --out loop.mp4: exit status $? (is genart-mp4.so installed?)"
    [[ -s "$scratch/loop.mp4" ]] || fail "genart render --animate wrote no MP4"
    pass "the installed program finds its MP4 module and writes an MP4"

    # The same picture as the program in the build folder draws, if there is one.
    local built=$reference
    if [[ -x "$built" ]]; then
        local moment=(--seed 1 --time 2026-12-08T12:00:00)
        "$bin" render "${moment[@]}" --out "$scratch/installed.png" || fail "installed genart render failed"
        "$built" render "${moment[@]}" --out "$scratch/built.png" || fail "$built render failed"
        cmp "$scratch/installed.png" "$scratch/built.png" || fail "the installed program draws other pixels than $built"
        pass "the installed program's picture is byte for byte the one $built draws"
    fi
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

if [[ "${1:-}" == "--tree" ]]; then
    build=${2:?usage: check-package.sh --tree BUILD_DIR}
    reference=$build/genart
    cmake --install "$build" --prefix "$scratch/prefix" --strip >"$scratch/install.log" \
        || fail "cmake --install: $(cat "$scratch/install.log")"
    pass "cmake --install --strip"
    check_tree "$scratch/prefix" "$scratch"
else
    reference=$root/build-default/genart
    if [[ "${1:-}" == "--deb" ]]; then
        deb=${2:?usage: check-package.sh --deb FILE}
    else
        make -C "$root" --no-print-directory package
        debs=("$root"/build-package/genart_*.deb)
        ((${#debs[@]} == 1)) && [[ -f "${debs[0]}" ]] || fail "expected one genart_*.deb in build-package, found: ${debs[*]}"
        deb=${debs[0]}
    fi
    echo "package: $deb"
    dpkg-deb --info "$deb"
    lintian_out=$(lintian --fail-on error,warning --info "$deb" 2>&1) || fail "lintian: $lintian_out"
    [[ -z "$lintian_out" ]] || echo "$lintian_out"
    pass "lintian reports no errors and no warnings"
    dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt's widgets"
    [[ "$(dpkg-deb --field "$deb" Section)" == graphics ]] || fail "the package is not in section graphics"
    pass "the package depends on Qt (shlibdeps) and is in section graphics"
    dpkg-deb -x "$deb" "$scratch/root"
    check_tree "$scratch/root/usr" "$scratch"
fi
echo "$passed passed, 0 failed"
