#!/bin/sh
# Builds libjpeg (libjpeg-turbo, the libjpeg62 interface the Linux build
# uses) for 64-bit Windows (MinGW-w64) from Debian's own source package, as a
# static library, and installs it into a cache folder outside the build tree.
# Debian has no MinGW package of it. Does nothing when the folder holds it.
#
#   BRENMOOR_JPEG_WINDOWS  where it goes
#                          (default ~/.cache/brenmoor/libjpeg-turbo-<version>-mingw64)
#   JOBS                   parallel compile jobs (default: every core)
#
# Prints the install folder on its last line. Takes under a minute.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev 2>/dev/null || true)
if [ -z "$version" ]; then
    echo "build-jpeg-windows: libjpeg62-turbo-dev is not installed (run scripts/install-deps.sh)" >&2
    exit 1
fi
upstream=${version#*:}
upstream=${upstream%%-*}
prefix=${BRENMOOR_JPEG_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/brenmoor/libjpeg-turbo-$upstream-mingw64}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

if [ -f "$prefix/.brenmoor-jpeg-complete" ] && [ "$(cat "$prefix/.brenmoor-jpeg-complete")" = "$version" ]; then
    echo "$prefix"
    exit 0
fi

started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/brenmoor-jpeg-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$here/scripts/fetch-debian-source.sh" "libjpeg-turbo=$version" "$work"
tar -C "$work" -xzf "$work"/libjpeg-turbo_"$upstream"*.orig.tar.gz
src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)

# Static: one small library inside the program rather than another DLL
# (its licence allows that). No SIMD: that needs nasm, and the window
# decodes one small logo.
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --parallel "$jobs" --target jpeg-static >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; exit 1; }
rm -rf "$prefix"
mkdir -p "$prefix/lib" "$prefix/include"
cp "$work/build/libjpeg.a" "$prefix/lib/"
cp "$work/build/jconfig.h" "$src/jerror.h" "$src/jmorecfg.h" "$src/jpeglib.h" "$prefix/include/"
echo "$version" > "$prefix/.brenmoor-jpeg-complete"
echo "build-jpeg-windows: built in $(( $(date +%s) - started )) s" >&2
echo "$prefix"
