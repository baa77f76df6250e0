#!/usr/bin/env bash
# Runs every test program of a build under valgrind's memcheck, the end-to-end ones (those whose
# name holds "e2e") with the programs they start traced too (not the shell tools they call). The
# programs are the ones ctest knows, each run once whole; a program ctest starts on arguments of
# its own (a fuzz target's corpus) gets them. Slow (about half an hour on two cores) and not part
# of scripts/test.sh. Logs go to BUILD_DIR/memcheck/<program>.log; the summary says which
# program's run reported errors (valgrind exit code 9) or failed.
#   bash scripts/memcheck.sh [BUILD_DIR]     (default: build/dev, configured with the dev preset
#                                            when it is not there yet)
# DORVANE_MEMCHECK tells the end-to-end tests to leave out what valgrind itself changes: the
# program's signal handlers (valgrind holds them all) and its peak memory.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
if [ ! -f "$build/CMakeCache.txt" ]; then
  if [ "$build" = build/dev ]; then
    cmake --preset dev >/dev/null || exit 1
  else
    echo "No configured build at $build" >&2
    exit 2
  fi
fi
cmake --build "$build" || exit 1
out=$build/memcheck
mkdir -p "$out"
# Qt's regular expressions compile to machine code that memcheck cannot follow; they run
# interpreted here.
export QT_QPA_PLATFORM=offscreen DORVANE_MEMCHECK=1 QT_ENABLE_REGEXP_JIT=0
skip='*/bash,*/sh,*/python3*,*/env,*/timeout,*/cp,*/rm,*/chattr,*/mount,*/umount,*/prlimit,*/su,*/runuser,*/setpriv'
supp=$(pwd)/scripts/memcheck.supp  # the traced programs run in folders of their own
status=0
run() {  # name, then the command
  local name=$1
  shift
  valgrind -q --error-exitcode=9 --suppressions="$supp" "$@" >"$out/$name.log" 2>&1
  local rc=$?
  printf '%-28s %s\n' "$name" "$([ $rc -eq 0 ] && echo clean || echo "exit $rc, see $out/$name.log")"
  [ $rc -eq 0 ] || status=1
}
# One line per program, its arguments after it, separated by tabs: the tests' commands, each
# program once. A test that picks its cases from a GoogleTest program (--gtest_filter) stands for
# the whole program; scripts that ctest runs (the install check) are not test programs.
programs=$(ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, os, sys
seen = {}
for test in json.load(sys.stdin)["tests"]:
    command = test.get("command") or []
    if not command or os.path.basename(command[0]) in ("bash", "sh", "python3", "env"):
        continue
    args = [] if any(a.startswith("--gtest_filter=") for a in command[1:]) else command[1:]
    seen.setdefault(command[0], args)
for program, args in seen.items():
    print("\t".join([program] + args))
') || exit 1
[ -n "$programs" ] || { echo "ctest lists no test programs in $build" >&2; exit 1; }
while IFS=$'\t' read -r -a command; do
  name=$(basename "${command[0]}")
  case "$name" in
    *e2e*) run "$name" --trace-children=yes --trace-children-skip="$skip" "${command[@]}" ;;
    *) run "$name" "${command[@]}" ;;
  esac
done <<<"$programs"
exit $status
