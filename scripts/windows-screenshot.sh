#!/bin/sh
# docs/windows-screenshot.png: the Windows build's window under Wine with Qt's
# Windows platform plugin (not offscreen), the sample table imported and its
# first section selected, taken from a virtual X screen.
#
#   scripts/windows-screenshot.sh BUILD_FOLDER [PNG]
# Runs itself inside xvfb-run when there is no display.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
png=${2:-$here/docs/windows-screenshot.png}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$build" "$png"
fi
wine="$build/wine-run.sh"
"$wine" --start
"$wine" "$build/tools/screenshot.exe" "Z:$here/examples/sample.csv" "$build/window-grab.png" --stay \
    >"$build/screenshot.log" 2>&1 &
shown=""
for _ in $(seq 1 60); do
    shown=$(xdotool search --onlyvisible --name 'Brenmoor' 2>/dev/null | head -n 1 || true)
    [ -n "$shown" ] && [ -f "$build/window-grab.png" ] && break
    sleep 0.5
done
if [ -z "$shown" ]; then
    echo "windows-screenshot: the window did not appear" >&2
    cat "$build/screenshot.log" >&2
    "$wine" --stop
    exit 1
fi
sleep 2  # the first paint after the import
import -window "$shown" "$png"
xdotool windowclose "$shown" 2>/dev/null || true
"$wine" --stop
echo "windows-screenshot: $png"
