#!/usr/bin/env bash
# Builds the release preset and starts Dorvane. Without a display it runs the start-up check
# ("dorvane CHECK") under Xvfb instead and says where the data files are.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/prereqs.sh
cmake --preset release >/dev/null
cmake --build --preset release
exe=build/release/bin/dorvane
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe" "$@"
fi
echo "No display found: running the start-up check (dorvane CHECK) under Xvfb instead."
xvfb-run -a "$exe" CHECK
dir=$(cd "$(dirname "$exe")" && pwd)
echo "Data files lie beside the program in $dir:"
echo "  dorvane.DB  (call store)   dorvane.INI (settings)   dorvane.REG (registry)   dorvane.HLP (help)"
