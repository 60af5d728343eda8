#!/bin/sh
# The pictures of the window on a whole screen, as the user's guide shows
# them: the window on 1366 × 768 and 1024 × 700 laptop screens and the
# capacity dialog beside it on a 2560 × 1440 one, each on an X server of that
# size (Xvfb) with a window manager (openbox), so the frames, the placement
# and the scrolling are the real ones.
#
#   tools/window_pictures.sh [BUILD_DIR]     (from the source folder)
#
# With NO_WM=1 the same without a window manager, into /tmp, to compare.
set -eu
build=${1:-build}
for tool in Xvfb openbox import convert xwininfo; do
    command -v $tool >/dev/null 2>&1 || { echo "window_pictures: $tool is missing" >&2; exit 1; }
done
out=docs
[ "${NO_WM:-}" = 1 ] && out=/tmp

# shot SIZE PICTURE PROGRAM ARGS...: runs the program on a screen of SIZE
# and saves the whole screen once it has settled.
shot() {
    size=$1 picture=$2
    shift 2
    display=:$((90 + $$ % 9))
    Xvfb $display -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    server=$!
    sleep 1
    manager=
    if [ "${NO_WM:-}" != 1 ]; then
        DISPLAY=$display openbox >/dev/null 2>&1 &
        manager=$!
        sleep 1
    fi
    (cd examples && DISPLAY=$display QT_QPA_PLATFORM=xcb "$@" >/dev/null 2>&1) &
    program=$!
    sleep 5
    DISPLAY=$display xwininfo -root -tree | grep -i 'brenmoor\|截面' || true
    DISPLAY=$display import -window root "$picture"
    kill $program $manager $server 2>/dev/null || true
    wait 2>/dev/null || true
}

shot 1366x768 $out/window-1366x768.png "../$build/brenmoor" sample.csv
shot 1024x700 $out/window-1024x700.png "../$build/brenmoor" sample.csv
shot 2560x1440 /tmp/capacity-beside-screen.png "../$build/tools/screenshot" sample.csv \
    /tmp/capacity-beside-grab.png --capacity --stay
# The two windows, without the empty screen around them.
convert /tmp/capacity-beside-screen.png -crop 2300x920+236+150 +repage $out/capacity-beside.png
