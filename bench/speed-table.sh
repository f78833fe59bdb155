#!/bin/bash
# The three side-by-side speed figures of bench/README.md in one run, from a built tree:
#   bash bench/speed-table.sh [BUILD_DIR]
# Start-up needs an X server; without DISPLAY it runs under xvfb-run.
set -euo pipefail
build=${1:-build}
echo "# $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/rules_bench" --benchmark_filter=BM_PrepareBesideSynthesis 2>/dev/null | grep '^BM_'
"$build/bench/Documents_bench" --benchmark_filter=BM_OpenFb2BesideIconv 2>/dev/null | grep '^BM_'
if [ -n "${DISPLAY:-}" ]; then
    "$build/bench/Startup_bench" 2>/dev/null | grep '^BM_'
else
    xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$build/bench/Startup_bench" 2>/dev/null | grep '^BM_'
fi
