#!/usr/bin/env bash
# A trial of the window as a user meets it, under a real X server with a window manager: keys
# sent with xdotool, the screen read with ImageMagick's import, pixels compared with compare.
# Not part of the automated tests (those run headless); run it by hand:
#   tools/window-trial.sh [program] [folder for the screenshots]
# Needs Xvfb, openbox, xdotool and imagemagick (apt-get install xvfb openbox xdotool imagemagick).
set -euo pipefail
program=$(realpath "${1:-build-default/genart}")
out=$(mkdir -p "${2:-/tmp/genart-trial}" && realpath "${2:-/tmp/genart-trial}")
for tool in Xvfb openbox xdotool import compare xwininfo; do
    command -v "$tool" >/dev/null || { echo "window-trial: needs $tool" >&2; exit 2; }
done
rm -rf "$out"/*
# A data and a config folder of the trial's own, so the history starts empty.
export XDG_DATA_HOME="$out/data" XDG_CONFIG_HOME="$out/config" XDG_RUNTIME_DIR="$out/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

failures=0
check() { # name, then a command that must succeed
    local name=$1; shift
    if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failures=$((failures + 1)); fi
}

server() { # display, screen size
    Xvfb ":$1" -screen 0 "$2" -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xdpyinfo -display ":$1" >/dev/null 2>&1 && break; sleep 0.1; done
    DISPLAY=":$1" openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
}

window=""
start() { # arguments for genart; sets window to the Form1 window's id
    "$program" "$@" >"$out/genart.log" 2>&1 &
    pids+=($!)
    window=$(xdotool search --sync --onlyvisible --name '^Form1$' | head -1)
    xdotool windowactivate --sync "$window"
    sleep 1.5 # maximizing and the first picture
}

# The picture (600 x 450 at the window's (32, 80)) and the strip (601 x 33 at (32, 552)),
# `ratio` device pixels to a pixel, cut from a screenshot of the whole screen.
shoot() { # name [ratio]
    local ratio=${2:-1} x y
    x=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print $4}')
    y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {print $4}')
    import -window root "$out/$1-screen.png"
    convert "$out/$1-screen.png" -crop "$((600 * ratio))x$((450 * ratio))+$((x + 32 * ratio))+$((y + 80 * ratio))" +repage "$out/$1-picture.png"
    convert "$out/$1-screen.png" -crop "$((600 * ratio))x$((425 * ratio))+$((x + 32 * ratio))+$((y + 80 * ratio))" +repage "$out/$1-uncaptioned.png"
    convert "$out/$1-screen.png" -crop "$((601 * ratio))x$((33 * ratio))+$((x + 32 * ratio))+$((y + 552 * ratio))" +repage "$out/$1-strip.png"
}

same() { # two screenshot parts
    [[ $(compare -metric AE "$out/$1.png" "$out/$2.png" null: 2>&1 || true) == 0 ]]
}
differ() { ! same "$@"; }

key() { xdotool key --clearmodifiers "$@"; sleep 0.7; }
click() { # a point of the window
    xdotool mousemove --window "$window" "$1" "$2" click 1
    sleep 0.7
}

export DISPLAY=:77
server 77 1280x1024x24

# Keys N, I, P: then the same presses with the mouse on the buttons, in a run without history.
start --seed 42
shoot start
key n; shoot n
key i; shoot i
key p; shoot p
key Left; shoot back1
key Left; shoot back2
key Left; shoot back3
key Right; shoot forward1
check "Left shows the entry before P exactly" same back1-picture i-picture
check "... with its strip" same back1-strip i-strip
check "Left, Left shows the entry after N" same back2-strip n-strip
check "three times Left is start-up, picture and strip" same back3-picture start-picture
check "... strip" same back3-strip start-strip
check "Right shows N's entry again" same forward1-picture n-picture
# From N's entry, I draws a new picture from N's strip: the strip on the screen.
key i; shoot from-n
check "I on N's entry keeps N's strip" same from-n-strip n-strip
check "... and draws a new picture" differ from-n-picture n-picture
key Left; shoot newest-back
check "Left from the newest is P's entry, the last one before it" same newest-back-strip p-strip
key ctrl+q
sleep 1
check "Ctrl+Q ends the program" bash -c "! xdotool search --onlyvisible --name '^Form1$' >/dev/null"

start --seed 42 --no-history
shoot clicks-start
click 708 424; shoot clicks-n # new img / new palette
click 708 456; shoot clicks-i # new img / old palette
click 708 488; shoot clicks-p # change palette
for step in start n i p; do
    # The captions name the second each picture was begun, so they are left out here.
    check "$step: the key and the button draw the same picture" same "$step-uncaptioned" "clicks-$step-uncaptioned"
    check "$step: ... and the same strip" same "$step-strip" "clicks-$step-strip"
done
key Left; shoot clicks-left
check "Left after the three presses shows the entry before the last" same clicks-left-strip clicks-i-strip
key ctrl+q

# The next run begins after the first run's entries: Left shows its last picture.
start --seed 43
shoot restart
key Left; shoot restart-back
# The --no-history run kept nothing: the last entry is the first run's newest, I on N's entry.
check "after a restart Left shows the previous run's last picture" same restart-back-picture from-n-picture
check "... and its strip" same restart-back-strip from-n-strip
key ctrl+q

# Two device pixels to a pixel: the picture shown is the one drawn twice as finely.
export DISPLAY=:78
server 78 2048x1536x24
QT_SCALE_FACTOR=2 start --seed 44 --no-history
shoot scaled 2
"$program" render --seed 44 --scale 2 --out "$out/render-2x.png" --force
convert "$out/render-2x.png" -crop 1200x850+0+0 +repage "$out/render-2x-uncaptioned.png"
check "QT_SCALE_FACTOR=2 shows the 2x picture" same scaled-uncaptioned render-2x-uncaptioned
key ctrl+q

echo "screenshots in $out; $failures failed"
exit $((failures > 0))
