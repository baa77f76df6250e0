#!/usr/bin/env bash
# Builds the dev preset and runs every test. Pass "asan" to use the sanitizer preset instead.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}
bash scripts/prereqs.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j"$(nproc)"
