#!/usr/bin/env bash
# The Windows zorvek-cli.exe, under wine, makes the same documents as the
# Linux build from the same image: every RTF byte for byte, every part of
# the workbook but the time it was written, every PDF's pages (their size
# and their text as a reader extracts it: the file itself carries the time
# it was made), and `info` the same text (but for the line ends Windows
# writes). Image, output folder and passport file lie under Cyrillic names.
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEDEBUG=-all

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
place="$root/Объект №1"
mkdir -p "$place"
cp samples/dannie.krd "$place/образ крана.krd"
printf 'Грузоподъемности крана=16,5 т;\r\nЗаводской номер крана=12-345/Ю;\r\n' |
    iconv -f UTF-8 -t CP1251 >"$place/паспорт.ini"

win() { winepath -w "$1"; }

options=(--charts --columns all --format rtf,xlsx,pdf)
build/bin/zorvek-cli report "$place/образ крана.krd" --out "$place/Linux" \
    --passport "$place/паспорт.ini" "${options[@]}" >/dev/null
wine build-windows/bin/zorvek-cli.exe report "$(win "$place/образ крана.krd")" --out "$(win "$place/Документы Windows")" \
    --passport "$(win "$place/паспорт.ini")" "${options[@]}" >/dev/null

failed=0
compared=0
for linux in "$place/Linux"/*; do
    name=$(basename "$linux")
    windows="$place/Документы Windows/$name"
    if [ ! -f "$windows" ]; then
        echo "windows-parity: $name was not made on Windows" >&2
        failed=1
        continue
    fi
    case $name in
    *.xlsx)
        for part in $(unzip -Z1 "$linux"); do
            [ "$part" = docProps/core.xml ] && continue
            pattern=$(printf '%s' "$part" | sed 's/[][*?]/\\&/g')  # unzip takes wildcards
            if ! cmp -s <(unzip -p "$linux" "$pattern") <(unzip -p "$windows" "$pattern"); then
                echo "windows-parity: $name: $part differs" >&2
                failed=1
            fi
        done
        ;;
    *.pdf)
        pages() { pdfinfo "$1" | grep -E '^(Pages|Page size):'; }
        if ! cmp -s <(pages "$linux") <(pages "$windows") ||
            ! cmp -s <(pdftotext -layout "$linux" -) <(pdftotext -layout "$windows" -); then
            echo "windows-parity: $name: pages or text differ" >&2
            failed=1
        fi
        ;;
    *)
        if ! cmp -s "$linux" "$windows"; then
            echo "windows-parity: $name differs" >&2
            failed=1
        fi
        ;;
    esac
    compared=$((compared + 1))
done

# The same relative name on both, since `info` repeats it.
linux_cli=$PWD/build/bin/zorvek-cli
windows_cli=$PWD/build-windows/bin/zorvek-cli.exe
if ! cmp -s <(cd "$place" && "$linux_cli" info "образ крана.krd") \
    <(cd "$place" && wine "$windows_cli" info "образ крана.krd" | tr -d '\r'); then
    echo "windows-parity: info differs" >&2
    failed=1
fi
[ "$failed" -eq 0 ] && echo "windows-parity: $compared documents and info alike"
exit "$failed"
