#!/usr/bin/env bash
# Starts the Windows zorvek.exe under wine on a virtual display with the
# sample image, finds its window by caption, takes screenshots, and makes
# appendix 4 from the menu with the keyboard as a user would; the document
# must then lie in the user's documents folder.
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

wine build-windows/bin/zorvek.exe "$ZORVEK_SAMPLE_WIN" &
program=$!
trap "kill $program 2>/dev/null; wineserver -k" EXIT
window=""
for _ in $(seq 90); do
    window=$(xdotool search --name "^Информация для отчёта" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 1
done
if [ -z "$window" ]; then
    echo "windows-window: no window with the main caption appeared" >&2
    exit 1
fi
sleep 3
shot() {
    if [ "$1" = root ]; then xwd -silent -root; else xwd -silent -id "$1"; fi |
        xwdtopnm 2>/dev/null | pnmtopng >"$SHOTS/$2"
}
shot "$window" windows-main-window.png

# Alt opens the menu bar; the third menu is the appendices, the sixth item
# appendix 4.
xdotool windowfocus "$window" || true
xdotool key --window "$window" --delay 300 alt Right Right Down
sleep 1
shot root windows-appendices-menu.png
xdotool key --delay 200 Down Down Down Down Down Return
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
'
echo "windows-window: screenshots in $shots"
