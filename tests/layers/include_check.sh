#!/bin/bash
# include_check.sh <src> <compiler> <pass|fail> <header> [-I<folder>...]
# Compiles a file that includes only <header>, with the include folders of one library, and
# succeeds when the outcome is the expected one: "fail" for a header of a layer the library does
# not link, "pass" for one it does (so that a failure is the layering's, not the compiler's).
# Every run also refuses an include that climbs out of its folder ("../"), which no include root
# would stop.
set -u
src=$1 cxx=$2 expect=$3 header=$4
shift 4
if grep -rnE '#include[[:space:]]+"\.\./' "$src"; then
  echo "an include climbs out of its folder" >&2
  exit 1
fi
out=$(printf '#include "%s"\n' "$header" | "$cxx" -std=c++20 -fPIC -fsyntax-only -x c++ "$@" - 2>&1)
status=$?
if [[ $expect == pass && $status -ne 0 ]]; then
  printf '%s\n' "$out" >&2
  echo "\"$header\" should build here" >&2
  exit 1
fi
if [[ $expect == fail && $status -eq 0 ]]; then
  echo "\"$header\" builds against the layer direction" >&2
  exit 1
fi
exit 0
