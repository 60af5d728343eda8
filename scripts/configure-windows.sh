#!/bin/sh
# Configures a build for 64-bit Windows (MinGW-w64) in FOLDER, with Qt and
# libjpeg for Windows from their cached builds (built on first use: about
# 15 minutes for Qt on two cores, seconds for libjpeg).
#
#   scripts/configure-windows.sh FOLDER [CMAKE ARGUMENTS...]
#   BRENMOOR_WINDOWS_UI=OFF   without the window: no Qt for Windows needed
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
folder=$1
shift
if [ "${BRENMOOR_WINDOWS_UI:-ON}" = OFF ]; then
    set -- -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DBRENMOOR_BUILD_UI=OFF "$@"
else
    qt=$("$here/scripts/build-qt-windows.sh" | tail -n 1)
    jpeg=$("$here/scripts/build-jpeg-windows.sh" | tail -n 1)
    set -- -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DJPEG_INCLUDE_DIR="$jpeg/include" -DJPEG_LIBRARY="$jpeg/lib/libjpeg.a" "$@"
fi
# A folder configured the other way (with or without the window) starts afresh.
if [ -f "$folder/CMakeCache.txt" ] && ! grep -q "^BRENMOOR_BUILD_UI:BOOL=${BRENMOOR_WINDOWS_UI:-ON}\$" "$folder/CMakeCache.txt"; then
    rm -f "$folder/CMakeCache.txt"
fi
exec cmake -S "$here" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBRENMOOR_BUILD_BENCH=OFF -DBRENMOOR_GTEST_SOURCE_DIR=/usr/src/googletest "$@"
