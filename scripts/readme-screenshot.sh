#!/usr/bin/env bash
# Takes docs/screenshot.png for the README: the installed program (cmake --install into a
# temporary prefix) under Xvfb, a book open and the dictionary panel shown.
#   bash scripts/readme-screenshot.sh [out.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
if [ -z "${VOCALIX_IN_XVFB:-}" ]; then
  exec env VOCALIX_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x900x24" bash "$0" "$out"
fi
corpus=../shared/corpus
tmp="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
cmake --install build --prefix "$tmp/prefix" >/dev/null
user="$tmp/home/.local/share/vocalix"
mkdir -p "$user/dic" "$tmp/books"
cp "$corpus/dict/mueller7_stress_top1000.cp1251.dic" "$user/dic/Ударения.dic"
cp "$corpus/dict/mueller7_abbrev.cp1251.dic" "$user/dic/Сокращения.dic"
printf '%s\r\n' '# сокращения' '(\d) г\.=$1 год' '(\d) руб\.=$1 рублей' | iconv -f utf-8 -t cp1251 >"$user/dic/Правила.ini"
cp "$corpus/fb2/pushkin_pikovaya_dama.utf8.fb2" "$tmp/books/Пиковая дама.fb2"
# A window of a readable size, lines wrapped, two dictionaries ticked, and the book restored
# into page 1 with the caret in the story, past the title pages.
printf '%s\r\n' '[Form]' 'Width=1100' 'Height=720' '[SpeechEngine]' \
  'Dictionary=Ударения.dic+Правила.ini' '[Text]' 'WordWrap=1' \
  "FileName1=$tmp/books/Пиковая дама.fb2" 'CharPos1=9000' |
  iconv -f utf-8 -t cp1251 >"$user/\$.ini"

env -u XDG_DATA_HOME HOME="$tmp/home" "$tmp/prefix/bin/vocalix" &
pid=$!
win=""
for _ in $(seq 1 50); do
  win="$(xdotool search --name '^Vocalix' 2>/dev/null | head -1)" && [ -n "$win" ] && break
  sleep 0.2
done
[ -n "$win" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 1
xdotool windowfocus --sync "$win"
xdotool key F10
sleep 1
import -window "$win" "$tmp/shot.png"
# A palette keeps the picture small for the repository.
convert "$tmp/shot.png" -colors 128 "PNG8:$out"
echo "screenshot: $out ($(stat -c %s "$out") bytes)"
