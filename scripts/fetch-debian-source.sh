#!/bin/sh
# Downloads the original tarball of a Debian source package into a folder,
# through a private apt state (the deb-src twins of the machine's deb lines),
# so the machine's own sources and package lists are left as they are.
#
#   scripts/fetch-debian-source.sh PACKAGE=VERSION FOLDER
set -eu
package=$1
work=$2
apt="$work/apt"
mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/sources.list.d"
: > "$apt/sources.list"
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >> "$apt/sources.list"
fi
for list in /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] && sed -n 's/^deb \(.*\)$/deb-src \1/p' "$list" >> "$apt/sources.list"
done
for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed 's/^Types:.*\bdeb\b.*$/Types: deb-src/' "$sources" \
        > "$apt/sources.list.d/$(basename "$sources")"
done
apt_private="-o Dir::Etc::SourceList=$apt/sources.list
 -o Dir::Etc::SourceParts=$apt/sources.list.d
 -o Dir::State::Lists=$apt/lists
 -o Dir::Cache::Archives=$apt/archives
 -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache="
# shellcheck disable=SC2086
apt-get $apt_private -q update >/dev/null 2>&1
# shellcheck disable=SC2086
(cd "$work" && apt-get $apt_private -q source --download-only "$package" >/dev/null 2>&1)
