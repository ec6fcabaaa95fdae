#!/usr/bin/env bash
# Makes the Windows installer (cpack -G NSIS, 64-bit) and tries it under
# wine: a silent install, the files where they belong, the installed
# zorvek-cli.exe reading the sample, a silent uninstall. wine's exit codes
# say nothing about an installer that did not run, so the files are checked.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEDEBUG=-all

(cd build-windows && cpack -G NSIS >/dev/null)
installer=$(ls build-windows/zorvek-*-win64.exe)
echo "windows-installer: $installer ($(du -h "$installer" | cut -f1))"

drive_c="${WINEPREFIX:-$HOME/.wine}/drive_c"
home="$drive_c/Program Files/ZORVEK"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ЗОРВЕК"
rm -rf "$home"

wine "$installer" /S
wineserver -w
for file in zorvek.exe zorvek-cli.exe zorvek-sim.exe Uninstall.exe Qt6Core.dll Qt6Widgets.dll \
    Qt6PrintSupport.dll libpq.dll platforms/qwindows.dll "Kvelta/Форма 1.rtf" ReadMe.htm \
    about.png fonts/LiberationSans-Regular.ttf fonts/LiberationSerif-Regular.ttf \
    fonts/LiberationMono-Bold.ttf; do
    if [ ! -f "$home/$file" ]; then
        echo "windows-installer: not installed: $file" >&2
        exit 1
    fi
done
for link in ЗОРВЕК "Удалить ЗОРВЕК"; do
    if [ ! -f "$menu/$link.lnk" ]; then
        echo "windows-installer: no Start-menu entry \"$link\" in $menu" >&2
        exit 1
    fi
done
# The entry must lead to the program: its target, as the shell reads it
# from the link's local path, is the installed zorvek.exe.
target=$(python3 - "$menu/ЗОРВЕК.lnk" <<'PYTHON'
import struct, sys
link = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", link, 0x14)[0]
at = 0x4C
if flags & 1:  # a target ID list comes first
    at += 2 + struct.unpack_from("<H", link, at)[0]
if not flags & 2:
    sys.exit("no link info")
base = struct.unpack_from("<I", link, at + 16)[0]
print(link[at + base:link.index(b"\0", at + base)].decode("cp1252"))
PYTHON
)
if [ "$(readlink -f "$(winepath -u "$target")")" != "$(readlink -f "$home/zorvek.exe")" ]; then
    echo "windows-installer: the Start-menu entry leads to $target" >&2
    exit 1
fi
# The version resource speaks Russian (UTF-16 in the file).
if ! grep -q "$(printf 'ЗОРВЕК: считывание' | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')" \
    <(od -An -tx1 -v "$home/zorvek.exe" | tr -d ' \n'); then
    echo "windows-installer: zorvek.exe's version resource is not in Russian" >&2
    exit 1
fi
installed_mb=$(du -sm "$home" | cut -f1)
echo "windows-installer: installed folder $installed_mb MB"
if [ "$installed_mb" -gt 80 ]; then
    echo "windows-installer: the installed folder carries debug information" >&2
    exit 1
fi
for file in Qt6Test.dll libxml2.dll; do
    if [ -f "$home/$file" ]; then
        echo "windows-installer: a library only the tests need was installed: $file" >&2
        exit 1
    fi
done

described=$(wine "$home/zorvek-cli.exe" info "$(winepath -w samples/dannie.krd)")
grep -q "Формат данных: 55AA0502, принят" <<<"$described" || {
    echo "windows-installer: the installed zorvek-cli.exe cannot read the sample" >&2
    exit 1
}
# Russian reads as Russian in a console (wine's, on a pseudo-terminal) and
# through a pipe.
for how in console pipe; do
    if [ $how = console ]; then
        said=$(script -qc "wine '$home/zorvek-cli.exe' --help" /dev/null)
    else
        said=$(wine "$home/zorvek-cli.exe" --help | cat)
    fi
    grep -q "Использование: zorvek-cli КОМАНДА" <<<"$said" || {
        echo "windows-installer: zorvek-cli.exe's Russian is unreadable in a $how" >&2
        exit 1
    }
done
# The documents on paper, with the installed fonts and templates.
paper=$(mktemp -d)
wine "$home/zorvek-cli.exe" report "$(winepath -w samples/dannie.krd)" --out "$(winepath -w "$paper")" \
    --only form1 --format pdf >/dev/null
if ! pdftotext "$paper/form1.pdf" - 2>/dev/null | grep -q "ПРОТОКОЛ"; then
    echo "windows-installer: the installed zorvek-cli.exe made no readable form1.pdf" >&2
    rm -rf "$paper"
    exit 1
fi
rm -rf "$paper"

# The programs' own data go to the user's folders, never beside them: an
# archive of the sample, stored by the installed command line.
ZORVEK_ARCHIVE= wine "$home/zorvek-cli.exe" archive add "$(winepath -w samples/dannie.krd)" \
    >/dev/null 2>&1 || true

wine "$home/Uninstall.exe" /S
wineserver -w
for _ in $(seq 30); do
    [ -e "$home" ] || break
    sleep 1
done
if [ -e "$home" ]; then
    echo "windows-installer: left behind in $home:" >&2
    find "$home" >&2
    exit 1
fi
if wine reg query 'HKLM\Software\ЗОРВЕК' >/dev/null 2>&1; then
    echo "windows-installer: the uninstaller left HKLM\\Software\\ЗОРВЕК behind" >&2
    exit 1
fi
echo "windows-installer: installed, run and uninstalled"
