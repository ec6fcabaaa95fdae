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
if [ ! -f "$menu/ЗОРВЕК.lnk" ]; then
    echo "windows-installer: no Start-menu entry in $menu" >&2
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

wine "$home/Uninstall.exe" /S
wineserver -w
for _ in $(seq 30); do
    [ -f "$home/zorvek.exe" ] || break
    sleep 1
done
if [ -f "$home/zorvek.exe" ]; then
    echo "windows-installer: the uninstaller left the program behind" >&2
    exit 1
fi
echo "windows-installer: installed, run and uninstalled"
