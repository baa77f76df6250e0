#!/usr/bin/env bash
# Retakes the README's pictures in docs/ from the fixture files in docs/shots/, under Xvfb with
# the real window system: the three pages, the band editor, the About box and a logbook.
#   bash scripts/screenshots.sh [BUILD_DIR]     (default: build/dev, configured with the dev
#                                               preset when it is not there yet)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
if [ ! -f "$build/CMakeCache.txt" ]; then
  if [ "$build" = build/dev ]; then
    cmake --preset dev >/dev/null
  else
    echo "No configured build at $build" >&2
    exit 2
  fi
fi
cmake --build "$build" --target dorvane_screenshots
# The README's pictures at the design size; then the same pictures maximised on a 1600 x 1000
# screen, at scale 2 and with a dark palette, in docs/look/, to be looked at after a change.
shoot() {
  QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$build/bin/dorvane_screenshots" "$@"
}
shoot docs
shoot docs/look/maximised maximised
QT_SCALE_FACTOR=2 shoot docs/look/scale2
shoot docs/look/dark dark
