#!/usr/bin/env bash
# Builds the Debian package of the build, checks what it asks of the system, unpacks it into a
# scratch root and runs the vocalix-cli found there (its files are those of install_test.sh).
#   deb_test.sh BUILD_DIR
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb="$(ls "$tmp"/out/vocalix_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
# The libraries dpkg-shlibdeps found beside the packages named in Packaging.cmake.
for p in libqt6widgets6 libpulse0 libespeak-ng1 libsamplerate0 espeak-ng-data; do
  grep -qw "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done

root="$tmp/root"
dpkg-deb -x "$deb" "$root"
mkdir -p "$tmp/home"
run() { env -u XDG_DATA_HOME HOME="$tmp/home" "$root/usr/bin/vocalix-cli" "$@"; }
run --help >/dev/null
voices="$(run voices)"
grep -q '^SAPI5 0 ' <<<"$voices" || fail "the packaged vocalix-cli lists no voices"
echo "$(basename "$deb"): Depends: $depends"
