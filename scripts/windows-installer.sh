#!/bin/sh
# Builds the Windows installer from the folder the zip is made of, with the
# same files: app/brenmoor.wxs with each "FILES folder" comment replaced by
# that folder's files, compiled by wixl (Debian's msitools).
#
#   scripts/windows-installer.sh STAGE VERSION OUTPUT.msi
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
stage=$(cd "$1" && pwd)
version=$2
output=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")

# wixl takes the files' paths relative to the folder it runs in: a scratch
# folder with the stage as "files" and the icon.
work=$(mktemp -d "${TMPDIR:-/tmp}/brenmoor-msi-XXXXXX")
trap 'rm -rf "$work"' EXIT
ln -s "$stage" "$work/files"
cp "$here/ui/brenmoor.ico" "$work/"

# The File elements of one folder of the stage (only its own files).
files() {
    find "$stage/$1" -maxdepth 1 -type f | LC_ALL=C sort | while read -r path; do
        relative=${path#"$stage"/}
        id=$(printf 'f_%s' "$relative" | tr -c 'A-Za-z0-9_.\n' '_' | cut -c 1-72)
        printf '              <File Id="%s" Source="files/%s" Name="%s"/>\n' "$id" "$relative" "$(basename "$path")"
    done
}

while IFS= read -r line; do
    case "$line" in
    *'<!--FILES '*'-->'*)
        folder=${line#*<!--FILES }
        folder=${folder%%-->*}
        files "$folder"
        ;;
    *) printf '%s\n' "$line" ;;
    esac
done < "$here/app/brenmoor.wxs" > "$work/brenmoor.wxs"

# No staged file may be left out of the installer.
listed=$(grep -c '<File ' "$work/brenmoor.wxs")
staged=$(find "$stage" -type f | wc -l)
if [ "$listed" -ne "$staged" ]; then
    echo "windows-installer: $staged files staged but $listed in the installer" >&2
    exit 1
fi
(cd "$work" && wixl --arch x64 -D Version="$version" -D Icon=brenmoor.ico -o "$output" brenmoor.wxs)
