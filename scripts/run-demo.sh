#!/usr/bin/env bash
# Builds the two programs (not the tests and benchmarks) and starts the benefit program on the
# demo company in demo/, creating the company first when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh zasilki uzupelnienie
exec build/apps/zasilki --demo demo
