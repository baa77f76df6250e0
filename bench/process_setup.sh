# The start of every whole-process script, sourced by it: stop at the first failure or unset
# name; `build` the build folder ($1, default build/release) and `bin` its programs; `calls` the
# store's size ($2, default a million); `work` a scratch folder, removed at exit.
set -eu
build=${1:-build/release}
calls=${2:-1000000}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
