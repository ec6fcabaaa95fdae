#!/usr/bin/env bash
# Starts the Windows zorvek.exe under wine on a virtual display with the
# sample image, finds its window by caption, takes screenshots, and makes
# appendix 4 from the menu with the keyboard as a user would; the document
# must then lie in the user's documents folder. Then once more with the
# documents shown in the program: appendix 4 must open in the preview, and
# Ctrl+P there must bring up the print dialog, or where wine has no printer
# (as in CI) the program's word that there is none.
#   scripts/windows-window.sh [SCREENSHOT_FOLDER]   (default build-windows/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
shots=$(realpath -m "${1:-build-windows/screenshots}")
mkdir -p "$shots"
export WINEDEBUG=-all
export ZORVEK_SAMPLE_WIN
ZORVEK_SAMPLE_WIN=$(winepath -w samples/dannie.krd)
export SHOTS="$shots"
# A wine server left from an earlier run would put the window on its display.
wineserver -k 2>/dev/null || true

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
documents=$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d "\r")
documents=$(winepath -u "$documents")/Documents/ЗОРВЕК
rm -rf "$documents"
wine reg delete "HKCU\\Software\\zorvek\\zorvek\\documents" /f >/dev/null 2>&1 || true

# found SECONDS PATTERN: the first window whose caption matches, waited for.
found() {
    local window=""
    for _ in $(seq "$1"); do
        window=$(xdotool search --name "$2" 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 1
    done
    echo "$window"
}
shot() {
    if [ "$1" = root ]; then xwd -silent -root; else xwd -silent -id "$1"; fi |
        xwdtopnm 2>/dev/null | pnmtopng >"$SHOTS/$2"
}
# start: the program on the sample, its main window in $window.
start() {
    wine build-windows/bin/zorvek.exe "$ZORVEK_SAMPLE_WIN" &
    program=$!
    window=$(found 90 "^Информация для отчёта")
    if [ -z "$window" ]; then
        echo "windows-window: no window with the main caption appeared" >&2
        exit 1
    fi
    sleep 3
}
# Alt opens the menu bar on "Файл"; after "Архив" and "Заполнить протоколы"
# the fourth menu is the appendices, its sixth item appendix 4. With a name,
# the open menu is photographed. What was made is checked by its name.
appendix4() {
    xdotool windowfocus "$window" || true
    xdotool key --window "$window" --delay 300 alt Right Right Right Down
    sleep 1
    [ -z "${1:-}" ] || shot root "$1"
    xdotool key --delay 200 Down Down Down Down Down Return
}
program=""
finish() { [ -z "$program" ] || kill "$program" 2>/dev/null; wineserver -k; }
trap finish EXIT

start
shot "$window" windows-main-window.png
appendix4 windows-appendices-menu.png
for _ in $(seq 60); do
    compgen -G "$documents/*.rtf" >/dev/null && break
    sleep 1
done
made=$(compgen -G "$documents/*.rtf" | head -1 || true)
if [ -z "$made" ]; then
    echo "windows-window: no document appeared in $documents" >&2
    exit 1
fi
echo "windows-window: the window made $(basename "$made")"
case "$(basename "$made")" in
    "Приложение 4 "*) ;;
    *)
        echo "windows-window: appendix 4 was asked for" >&2
        exit 1
        ;;
esac
finish

# The choice "Показывать в программе", kept as the window keeps it.
wine reg add "HKCU\\Software\\zorvek\\zorvek\\documents" /v view /t REG_SZ /d program /f >/dev/null
start
appendix4
preview=$(found 60 "^Приложение 4 — просмотр")
if [ -z "$preview" ]; then
    echo "windows-window: no preview window appeared" >&2
    exit 1
fi
sleep 2
shot "$preview" windows-preview.png
xdotool windowfocus "$preview" || true
xdotool key --window "$preview" ctrl+p
dialog=$(found 30 "^(Печать|Print|ЗОРВЕК)\$")
if [ -z "$dialog" ]; then
    echo "windows-window: Ctrl+P in the preview brought neither a print dialog nor a word" >&2
    exit 1
fi
sleep 3
shot "$dialog" windows-print-dialog.png
echo "windows-window: the preview showed $(xdotool getwindowname "$preview"), Ctrl+P $(xdotool getwindowname "$dialog")"
'
echo "windows-window: screenshots in $shots"
