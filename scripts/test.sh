#!/usr/bin/env bash
# Builds everything and runs every test (unit, screen and end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j "$(nproc)"
