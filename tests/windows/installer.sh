#!/bin/sh
# The installer under Wine, as a user without administrator rights runs it:
# it installs into the user's programs folder with its Start menu entry,
# "Open with" and its Apps & Features entry, the installed command line
# converts the sample to the Linux program's bytes, an installer of a later
# version replaces it, and uninstalling leaves no file, folder or registry
# key, the window's remembered settings included.
#
#   installer.sh WINE_RUN MSI LINUX_PROGRAM SAMPLE WORK_DIR
# MSI's folder holds the folder it was made from (brenmoor-<version>-win64).
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$1
msi=$2
linux=$3
sample=$4
work=$5
name=$(basename "$msi" .msi)
version=${name#brenmoor-}
version=${version%-win64}
later=${version%.*}.$((${version##*.} + 1))

fail() {
    echo "installer test: $*" >&2
    exit 1
}
[ -f "$msi" ] || fail "no $msi (make test-windows builds it)"
rm -rf "$work"
mkdir -p "$work"
prefix=$(sed -n "s/^export WINEPREFIX='\(.*\)'$/\1/p" "$wine_run")
profile="$prefix/drive_c/users/$(id -un)"
installed="$profile/AppData/Local/Programs/Brenmoor"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Brenmoor.lnk"
classes='HKCU\Software\Classes'
has_key() { "$wine_run" reg query "$1" </dev/null >/dev/null 2>&1; }
has_value() { "$wine_run" reg query "$1" /v "$2" </dev/null >/dev/null 2>&1; }
to_windows() { printf 'Z:%s' "$1" | tr / '\\'; }
# The Apps & Features entries (Wine keeps a per-user install's under HKLM).
entries() {
    for root in HKCU HKLM; do
        "$wine_run" reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s </dev/null 2>/dev/null || true
    done | tr -d '\r'
}

"$wine_run" --bare msiexec /i "$(to_windows "$msi")" /qn </dev/null || fail "msiexec /i failed: $?"
for file in brenmoor.exe brenmoor-cli.exe Qt6Core.dll platforms/qwindows.dll LICENSE.txt \
    THIRD-PARTY-NOTICES.txt translations/qtbase_zh_CN.qm examples/sample.csv; do
    [ -f "$installed/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start menu shortcut"
# The shortcut starts in the user's Documents folder.
tr -d '\000' < "$shortcut" | grep -a -q 'users.[^\\]*.Documents' || fail "the shortcut does not start in Documents"
has_value "$classes\\.csv\\OpenWithProgids" Brenmoor.Table || fail "no Open with for .csv"
"$wine_run" reg query "$classes\\Brenmoor.Table\\shell\\open\\command" </dev/null |
    grep -q 'Brenmoor\\brenmoor.exe" "%1"' || fail "no open command for the table type"
has_key "$classes\\Brenmoor.Table\\DefaultIcon" || fail "no icon for the table type"
entries | grep -A 30 'DisplayName *REG_SZ *Brenmoor$' | grep -q "DisplayVersion *REG_SZ *$version$" ||
    fail "no Apps & Features entry for Brenmoor $version"
entries | grep -q 'Publisher *REG_SZ *Brenmoor project$' || fail "no publisher in Apps & Features"

# The installed programs run from their folder alone, with nothing else on
# their DLL path, and write the same bytes as the Linux program.
"$linux" convert "$sample" -o "$work/linux.PF3CMP" >/dev/null
(cd "$installed" && "$wine_run" --bare brenmoor-cli.exe convert examples/sample.csv \
    -o "$(to_windows "$work/windows.PF3CMP")" >/dev/null) || fail "the installed brenmoor-cli.exe failed"
cmp "$work/linux.PF3CMP" "$work/windows.PF3CMP" || fail "the installed program writes other bytes"

# What the window remembers, as Qt keeps it in the registry.
"$wine_run" reg add 'HKCU\Software\Brenmoor\Brenmoor\window' /v language /d en /f </dev/null >/dev/null

# A later version replaces this one: one entry, the later version's.
"$here/scripts/windows-installer.sh" "$(dirname "$msi")/$name" "$later" "$work/later.msi"
"$wine_run" --bare msiexec /i "$(to_windows "$work/later.msi")" /qn </dev/null || fail "the upgrade failed: $?"
n=$(entries | grep -c "DisplayName *REG_SZ *Brenmoor$") && [ "$n" = 1 ] || { entries | grep -E "^HKEY|Display" || true; fail "the upgrade left $n entries"; }
entries | grep -q "DisplayVersion *REG_SZ *$later$" || fail "the upgrade did not install $later"
[ -f "$installed/brenmoor.exe" ] || fail "the upgrade removed the program"

"$wine_run" --bare msiexec /x "$(to_windows "$work/later.msi")" /qn </dev/null || fail "msiexec /x failed: $?"
[ ! -e "$installed" ] || fail "left behind: $(find "$installed" | head -n 5)"
[ ! -e "$shortcut" ] || fail "the shortcut is left behind"
! has_key 'HKCU\Software\Brenmoor' || fail "HKCU\\Software\\Brenmoor is left behind"
! has_key "$classes\\Brenmoor.Table" || fail "the table type is left behind"
! has_value "$classes\\.csv\\OpenWithProgids" Brenmoor.Table || fail "Open with is left behind"
! entries | grep -q 'DisplayName *REG_SZ *Brenmoor$' || fail "the Apps & Features entry is left behind"
rm -rf "$work"
echo "installer test: installed $name.msi ($(du -k "$msi" | cut -f1) KB), converted the sample to the" \
    "Linux bytes, upgraded to $later, uninstalled without a trace"
