#!/usr/bin/env bash
# Installs the build into a temporary prefix as `cmake --install` would for a user, then checks
# that a desktop finds the program there and that the installed vocalix-cli runs and keeps its
# files in the user's folder, not beside the executable.
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/vocalix bin/vocalix-cli share/applications/vocalix.desktop \
  share/icons/hicolor/scalable/apps/vocalix.svg share/vocalix/help/Vocalix.html \
  share/vocalix/sounds/complete.wav share/man/man1/vocalix-cli.1 share/doc/vocalix/README.md; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ -d "$prefix/share/vocalix/dic" ] || fail "share/vocalix/dic is not installed"
[ -z "$(find "$prefix" -name '.gitkeep')" ] || fail "placeholder files installed"
# Each PNG icon lies in the folder of its own size.
for png in "$prefix"/share/icons/hicolor/*/apps/vocalix.png; do
  size="$(basename "$(dirname "$(dirname "$png")")")"
  identify -format '%wx%h' "$png" | grep -qx "$size" || fail "$png is not $size"
done

entry="$prefix/share/applications/vocalix.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
# Every type the entry offers must be one the desktop knows (a type or an alias of one).
types="$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d')"
[ -n "$types" ] || fail "no MimeType"
for t in $types; do
  [ -f "/usr/share/mime/$t.xml" ] || grep -q "^$t " /usr/share/mime/aliases ||
    fail "unknown MIME type $t"
done
exe="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
[ -x "$prefix/bin/$exe" ] || fail "Exec=$exe is not an installed program"

# The installed program, started by a user whose data folder does not exist yet.
home="$tmp/home"
mkdir -p "$home"
run() { env -u XDG_DATA_HOME HOME="$home" "$prefix/bin/vocalix-cli" "$@"; }
# (Output is taken whole: grep -q would stop reading and break the pipe.)
help="$(run --help)" || fail "vocalix-cli --help exited $?"
grep -q '^  record ' <<<"$help" || fail "vocalix-cli --help lists no record command"
voices="$(run voices)" || fail "vocalix-cli voices exited $?"
grep -q "^SAPI5 0 " <<<"$voices" || fail "vocalix-cli voices listed no voice"
user="$home/.local/share/vocalix"
cmp -s "$user/sounds/complete.wav" "$prefix/share/vocalix/sounds/complete.wav" ||
  fail "the user's folder was not seeded from the installed data"
[ -d "$user/dic" ] || fail "no dic/ in the user's folder"
[ "$(ls -A "$prefix/bin")" = "$(printf 'vocalix\nvocalix-cli')" ] ||
  fail "files written beside the installed executables: $(ls -A "$prefix/bin")"
# $XDG_DATA_HOME moves it.
env XDG_DATA_HOME="$tmp/xdg" HOME="$home" "$prefix/bin/vocalix-cli" voices >/dev/null
[ -f "$tmp/xdg/vocalix/help/Vocalix.html" ] || fail "XDG_DATA_HOME is not used"
echo "installed program checked in $prefix"
