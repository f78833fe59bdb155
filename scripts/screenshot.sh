#!/usr/bin/env bash
# Starts build/vocalix under Xvfb and saves a screenshot of the screen; then the x11 test
# Screenshot_x11test checks in a real X window that all ten page tabs are shown.
#   bash scripts/screenshot.sh [out.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshot.png}"
if [ -z "${VOCALIX_IN_XVFB:-}" ]; then
  exec env VOCALIX_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$out"
fi
# A private program folder, so that the run leaves no settings behind.
dir="$(mktemp -d)"
pid=""
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$dir"' EXIT
cp -r build/help build/dic build/sounds build/profiles "$dir"/ 2>/dev/null || true
cp build/vocalix "$dir"/
"$dir/vocalix" &
pid=$!
for _ in $(seq 1 50); do
  if xdotool search --name '^Vocalix' >/dev/null 2>&1; then break; fi
  sleep 0.2
done
sleep 1.5
import -window root "$out"
echo "screenshot: $out"
if ! xdotool search --name '^Vocalix' >/dev/null 2>&1; then
  echo "the window did not appear" >&2
  exit 1
fi
kill "$pid" 2>/dev/null || true
build/tests/Screenshot_x11test
