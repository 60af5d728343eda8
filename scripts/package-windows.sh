#!/bin/sh
# Packs a Windows build into FOLDER/brenmoor-<version>-win64.zip: brenmoor.exe,
# brenmoor-cli.exe, the Qt module brenmoor-qt.dll they load for the window and
# the PDF report, the DLLs these load (Qt, the MinGW runtime; found by
# following the import tables, so nothing unneeded and nothing missing), the
# Qt plugins for the Windows platform and style, Qt's Chinese texts, the
# sample table, the user's guides, a README and the licences, every binary stripped (the module
# when it is linked); and the same files into the installer
# FOLDER/brenmoor-<version>-win64.msi.
#
#   scripts/package-windows.sh FOLDER [--no-run]
#   --no-run   without running the unpacked programs under Wine (for the
#              tests, which install and run the installer's copy)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
qt_dir=$(sed -n 's/^Qt6_DIR:PATH=//p' "$build/CMakeCache.txt")
qt=$(cd "$qt_dir/../../.." && pwd)
compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$build"/CMakeFiles/*/CMakeCXXCompiler.cmake | head -n 1)
gcc_dlls=$(dirname "$("$compiler" -print-file-name=libstdc++-6.dll)")
sysroot_dlls=$(cd "$(dirname "$("$compiler" -print-file-name=libwinpthread-1.dll)")" && pwd)
objdump=x86_64-w64-mingw32-objdump
strip=x86_64-w64-mingw32-strip

name=brenmoor-$version-win64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/examples"
cp "$build/brenmoor.exe" "$build/brenmoor-cli.exe" "$build/brenmoor-qt.dll" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# Every DLL a binary in the folder imports that is not part of Windows.
added=1
while [ "$added" = 1 ]; do
    added=0
    for binary in "$stage"/*.exe "$stage"/*.dll "$stage"/platforms/*.dll "$stage"/styles/*.dll; do
        [ -f "$binary" ] || continue
        for dll in $("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p'); do
            [ -f "$stage/$dll" ] && continue
            for folder in "$qt/bin" "$gcc_dlls" "$sysroot_dlls"; do
                if [ -f "$folder/$dll" ]; then
                    cp "$folder/$dll" "$stage/"
                    added=1
                    break
                fi
            done
        done
    done
done
# Not brenmoor-qt.dll: the programs load only the very file the build made
# (they check its size and SHA-256), which is linked stripped already.
for binary in "$stage"/*.exe "$stage"/*.dll "$stage"/platforms/*.dll "$stage"/styles/*.dll; do
    [ "$(basename "$binary")" = brenmoor-qt.dll ] || "$strip" --strip-unneeded "$binary"
done
cmp -s "$build/brenmoor-qt.dll" "$stage/brenmoor-qt.dll" ||
    { echo "package-windows: brenmoor-qt.dll changed on its way into the package" >&2; exit 1; }

cp "$here/examples/sample.csv" "$here/examples/sample-stirrups.csv" "$stage/examples/"
# The user's guides with the pictures they show, side by side as in docs/ so
# that their links hold; the window's F1 opens them from there.
mkdir -p "$stage/docs"
cp "$here/docs/guide.zh.md" "$here/docs/guide.en.md" "$stage/docs/"
grep -oh '](\([A-Za-z0-9._-]*\.png\))' "$here"/docs/guide.*.md | sed 's/^](//; s/)$//' | sort -u |
    while read -r picture; do cp "$here/docs/$picture" "$stage/docs/"; done
# Qt's own texts (buttons of its dialogs, the fields' menus) in Chinese.
mkdir -p "$stage/translations"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
# Notepad of older Windows wants CR LF.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$here/app/README-windows.txt" > "$stage/README.txt"
sed -e 's/$/\r/' "$here/LICENSE" > "$stage/LICENSE.txt"
sed -e 's/$/\r/' "$here/THIRD-PARTY-NOTICES.txt" > "$stage/THIRD-PARTY-NOTICES.txt"

(cd "$build" && zip -q -r -9 -X "$name.zip" "$name")
"$here/scripts/windows-installer.sh" "$stage" "$version" "$build/$name.msi"
[ "${2:-}" = --no-run ] && exit 0

# The zip must hold everything the programs load: they run from an unpacked
# copy under Wine with nothing else on their DLL path, the report loading Qt's
# Windows platform plugin from its folder.
check=$(mktemp -d "${TMPDIR:-/tmp}/brenmoor-zip-XXXXXX")
trap 'rm -rf "$check"' EXIT
(cd "$check" && unzip -q "$build/$name.zip")
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt translations/qtbase_zh_CN.qm docs/guide.zh.md docs/guide.en.md; do
    [ -f "$check/$name/$file" ] || { echo "package-windows: the zip lacks $file" >&2; exit 1; }
done
"$build/wine-run.sh" --start
(
    cd "$check/$name"
    "$build/wine-run.sh" --bare brenmoor-cli.exe convert examples/sample.csv -o check.PF3CMP >/dev/null &&
        "$build/wine-run.sh" --bare brenmoor-cli.exe inspect check.PF3CMP >/dev/null &&
        "$build/wine-run.sh" --bare brenmoor-cli.exe report examples/sample.csv -o check.pdf >/dev/null &&
        head -c 5 check.pdf | grep -q "^%PDF-" &&
        "$build/wine-run.sh" --bare brenmoor.exe --version | grep -q "^brenmoor $version"
) || { echo "package-windows: the unpacked programs do not run under Wine" >&2; exit 1; }
"$build/wine-run.sh" --stop
echo "package-windows: $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KB)"
echo "package-windows: $build/$name.msi ($(du -k "$build/$name.msi" | cut -f1) KB)"
unzip -l "$build/$name.zip"
