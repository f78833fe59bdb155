#!/usr/bin/env bash
# Installs what is needed, builds, and starts Vocalix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j2
exec build/vocalix "$@"
