#!/bin/sh
# Builds Qt's base module for 64-bit Windows (MinGW-w64, DLLs) from Debian's own
# source package of qt6-base, the same version as the Linux Qt whose moc, uic
# and rcc it uses as host tools, and installs it into a cache folder outside
# the build tree. Does nothing when that folder already holds it.
#
#   BRENMOOR_QT_WINDOWS  where Qt for Windows goes
#                        (default ~/.cache/brenmoor/qt-<version>-mingw64)
#   JOBS                 parallel compile jobs (default: every core)
#
# Prints the install folder on its last line. Takes about 15 minutes on two
# cores; the build folder (1 to 2 GB) is deleted afterwards.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
if [ -z "$host_version" ]; then
    echo "build-qt-windows: qt6-base-dev-tools is not installed (run scripts/install-deps.sh)" >&2
    exit 1
fi
upstream=${host_version%%+*}
upstream=${upstream%%-*}
prefix=${BRENMOOR_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/brenmoor/qt-$upstream-mingw64}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

if [ -f "$prefix/.brenmoor-qt-complete" ] && [ "$(cat "$prefix/.brenmoor-qt-complete")" = "$host_version" ]; then
    echo "$prefix"
    exit 0
fi

started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/brenmoor-qt-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Debian's source package, without touching the machine's apt sources.
"$here/scripts/fetch-debian-source.sh" "qt6-base=$host_version" "$work"
tar -C "$work" -xJf "$work"/qt6-base_"$upstream"*.orig.tar.xz
src=$(find "$work" -maxdepth 1 -type d -name 'qtbase-*' | head -n 1)

# The tarball drops the tablet headers, so tablet events are off; OpenGL,
# networking, SQL and the image formats the window does not use are off too.
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    -DFEATURE_pkg_config=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_printsupport=ON -DFEATURE_tabletevent=OFF \
    -DFEATURE_direct2d1_1=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_widgets=ON -DFEATURE_testlib=ON -DFEATURE_gui=ON >"$work/configure.log" 2>&1 ||
    { tail -n 60 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" 2>&1 ||
    { grep -B2 -A20 -m3 'FAILED:' "$work/build.log" >&2 || tail -n 60 "$work/build.log" >&2; exit 1; }
rm -rf "$prefix"
cmake --install "$work/build" >/dev/null
echo "$host_version" > "$prefix/.brenmoor-qt-complete"
echo "build-qt-windows: built in $(( $(date +%s) - started )) s" >&2
echo "$prefix"
