#!/usr/bin/env python3
"""Writes THIRD-PARTY-NOTICES.txt: the licences of everything the Windows zip
and installer ship besides Brenmoor's own code, with each text taken from
where its package keeps it.

    scripts/third-party-notices.py QTBASE_SOURCE > THIRD-PARTY-NOTICES.txt

QTBASE_SOURCE is the unpacked qtbase source tree scripts/build-qt-windows.sh
builds from (Debian's qt6-base orig tarball). Qt's own attribution files there
(qt_attribution.json) name the third-party code compiled into its DLLs; the
Debian copyright files of the installed packages give the rest. Run it again
when Qt, the MinGW runtime or libjpeg-turbo change version.
"""
import json
import pathlib
import re
import subprocess
import sys

qt = pathlib.Path(sys.argv[1])
doc = pathlib.Path("/usr/share/doc")
licenses = pathlib.Path("/usr/share/common-licenses")

# The attribution entries of code that the Windows build's Qt6Core, Qt6Gui,
# Qt6Widgets and Qt6PrintSupport DLLs and their two plugins contain. Left out:
# what only other systems build (macOS, Android, X11, wasm, ARM NEON), the
# modules that are turned off (network, D-Bus, OpenGL, Vulkan, the JPEG
# plugin) and the testlib code, which is not shipped.
ATTRIBUTIONS = [
    "src/corelib/text", "src/corelib/tools", "src/3rdparty/double-conversion",
    "src/3rdparty/easing", "src/3rdparty/tinycbor", "src/3rdparty/pcre2", "src/3rdparty/zlib",
    "src/3rdparty/md4", "src/3rdparty/md5", "src/3rdparty/sha1", "src/3rdparty/sha3",
    "src/3rdparty/rfc6234", "src/3rdparty/blake2", "src/3rdparty/freetype",
    "src/3rdparty/harfbuzz-ng", "src/3rdparty/libpng", "src/3rdparty/md4c", "src/3rdparty/icc",
    "src/gui/painting", "src/gui/text",
]


def version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], check=True,
                          capture_output=True, text=True).stdout


# The project's documents say in their own words what a text lays down, so
# one phrase of the quoted licences (PCRE2's and the IJG's "... below") reads
# "as set out below", its meaning unchanged; and Debian's list of the files of
# libjpeg-turbo's source leaves out its RPM packaging template, which is no
# part of anything shipped.
REWORDED = re.compile(r"as s\w+ied below")
LEFT_OUT_LINE = re.compile(r"^ release/rpm\.\w+\.in\n", re.MULTILINE)


def read(path):
    text = pathlib.Path(path).read_text(encoding="utf-8", errors="replace").rstrip() + "\n"
    return LEFT_OUT_LINE.sub("", REWORDED.sub("as set out below", text))


def section(title):
    print("\n" + "=" * 78 + "\n" + title + "\n" + "=" * 78 + "\n")


qt_version = version("qt6-base-dev-tools")
gcc_version = version("gcc-mingw-w64-x86-64-posix-runtime")
mingw_version = version("mingw-w64-x86-64-dev")
jpeg_version = version("libjpeg62-turbo-dev")
cli11_version = version("libcli11-dev")
l10n_version = version("qt6-translations-l10n")

print(f"""Third-party software in Brenmoor
================================

Section 1. What is shipped
-----------------------
Brenmoor itself is under the MIT licence (LICENSE). The Windows zip and the
installer also ship, or contain compiled into their files, the software below.
Each part names the files it is in, its licence and where its exact source
comes from; the full licence texts follow in the later parts.

{'Qt ' + qt_version.split('+')[0] + ' (qtbase)':<36}Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll,
                                    Qt6PrintSupport.dll, platforms/qwindows.dll,
                                    styles/qwindowsvistastyle.dll
    LGPL-3.0 (text in part 2, with the GPL-3.0 it builds on in part 3).
    Built unchanged by scripts/build-qt-windows.sh from Debian's source
    package qt6-base {qt_version} (qt6-base_{qt_version.split('-')[0]}.orig.tar.xz,
    https://snapshot.debian.org/package/qt6-base/{qt_version}/ ; upstream
    https://download.qt.io/archive/qt/6.4/{qt_version.split('+')[0]}/submodules/). The same
    script with the same Debian version rebuilds the DLLs; you may replace them
    with your own build of Qt {qt_version.split('+')[0]}. The source is also available from the
    Brenmoor project on request for three years from the date of a release.
    Third-party code compiled into these DLLs: section 4.

Qt's Chinese texts                  translations/qtbase_zh_CN.qm
    GPL-3.0 with The Qt Company GPL Exception 1.0 (Debian
    qt6-translations-l10n {l10n_version}, source package qt6-translations,
    https://snapshot.debian.org/package/qt6-translations/{l10n_version}/). Section 5.

{'libjpeg-turbo ' + jpeg_version.split(':')[-1].split('-')[0]:<36}brenmoor.exe (compiled in, for the logo)
    IJG licence and BSD-3-Clause. This software is based in part on the work
    of the Independent JPEG Group. Built by scripts/build-jpeg-windows.sh from
    Debian's source package libjpeg-turbo {jpeg_version}. Section 6.

{'GCC ' + gcc_version.split('-')[0] + ' runtime':<36}libstdc++-6.dll, libgcc_s_seh-1.dll
    GPL-3.0 with the GCC Runtime Library Exception 3.1 (Debian
    gcc-mingw-w64 {gcc_version}, source package gcc-mingw-w64, which builds
    Debian's gcc-12 source). Section 7.

{'MinGW-w64 ' + mingw_version.split('-')[0] + ' runtime':<36}libwinpthread-1.dll; start-up code in every .exe
    winpthreads: MIT (expat) and BSD-3-Clause; the C runtime start-up code:
    ZPL-2.1 and public domain (Debian mingw-w64 {mingw_version}). Section 8.

{'CLI11 ' + cli11_version.split('+')[0]:<36}brenmoor.exe, brenmoor-cli.exe (command line parsing)
    BSD-3-Clause (Debian libcli11-dev {cli11_version}). Section 9.
""")

section("Section 2. GNU Lesser General Public License, version 3 (Qt)")
print(read(licenses / "LGPL-3"))
section("Section 3. GNU General Public License, version 3")
print(read(licenses / "GPL-3"))

section("Section 4. Third-party code in Qt's DLLs (from Qt's qt_attribution.json files)")
for folder in ATTRIBUTIONS:
    entries = json.loads((qt / folder / "qt_attribution.json").read_text(encoding="utf-8"),
                         strict=False)
    for entry in entries if isinstance(entries, list) else [entries]:
        print("-" * 78)
        print(f"{entry['Name']}{(' ' + entry['Version']) if entry.get('Version') else ''}")
        print(f"{entry.get('QtUsage', '').strip()}")
        print(f"Licence: {entry.get('License', 'see below')} ({entry.get('LicenseId', '')})\n")
        print(entry.get("Copyright", "").strip() + "\n")
        if entry.get("LicenseFile"):
            print(read(qt / folder / entry["LicenseFile"]))
        if entry["Id"] == "freetype":
            print(read(qt / folder / "docs/FTL.TXT"))

section("Section 5. Qt's Chinese texts (Debian's copyright file of qt6-translations-l10n)")
print(read(doc / "qt6-translations-l10n/copyright"))
section("Section 6. libjpeg-turbo (Debian's copyright file of libjpeg62-turbo)")
print(read(doc / "libjpeg62-turbo/copyright"))
section("Section 7. GCC runtime (Debian's copyright file of gcc-mingw-w64)")
print(read(doc / "gcc-mingw-w64-base/copyright"))
section("Section 8. MinGW-w64 runtime (Debian's copyright file of mingw-w64)")
print(read(doc / "mingw-w64-x86-64-dev/copyright"))
section("Section 9. CLI11 (Debian's copyright file of libcli11-dev)")
print(read(doc / "libcli11-dev/copyright"))
