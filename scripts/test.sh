#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite:
# the ordinary tests (offscreen Qt, real audio into a PipeWire null sink),
# then the tests that need an X server, under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j2

source scripts/audio-session.sh start
trap 'audio_stop' EXIT

status=0
(cd build && xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
    ctest --output-on-failure -L x11 --no-tests=ignore) || status=1
(cd build && ctest --output-on-failure -j2 -LE x11) || status=1
exit $status
