#!/bin/sh
# Installs the Debian packages that building, testing and running Brenmoor need.
# Does nothing when they are all there. Runs apt-get as root, or through sudo.
#
#   scripts/install-deps.sh           for Linux
#   scripts/install-deps.sh windows   and for the Windows build: MinGW-w64,
#                                     Wine to run its tests, ninja, zip, Xvfb,
#                                     wixl for the installer
set -eu

packages="
cmake
make
g++
clang
clang-format
libclang-rt-dev
pkgconf
qt6-base-dev
qt6-base-dev-tools
qt6-l10n-tools
qt6-translations-l10n
libgl-dev
libjpeg-dev
googletest
libgtest-dev
libgmock-dev
libcli11-dev
libbenchmark-dev
fonts-liberation
fonts-wqy-microhei
openbox
poppler-utils
dpkg-dev
"
if [ "${1:-}" = windows ]; then
    packages="$packages
g++-mingw-w64-x86-64-posix
wine64
ninja-build
perl
xz-utils
zip
unzip
imagemagick
xvfb
xauth
xdotool
wixl
"
fi

missing=""
for p in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
else
    echo "install-deps: need root or sudo to install:$missing" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# Names differ a little between releases (the fuzzing runtime above all):
# install what this release has, say what it lacks.
available=""
for p in $missing; do
    if apt-cache show "$p" >/dev/null 2>&1; then
        available="$available $p"
    else
        echo "install-deps: this release has no package $p; going on without it" >&2
    fi
done
echo "install-deps: installing$available"
# shellcheck disable=SC2086
[ -z "$available" ] || $sudo apt-get install -y -q --no-install-recommends $available
