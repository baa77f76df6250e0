#!/usr/bin/env bash
# Runs every test program of a build under valgrind's memcheck, the end-to-end ones with the
# programs they start traced too (not the shell tools they call). Slow (about half an hour on two
# cores) and not part of scripts/test.sh. Logs go to build/memcheck/<program>.log; the summary
# says which program's run reported errors (valgrind exit code 9) or failed.
#   bash scripts/memcheck.sh [BUILD_DIR]     (default: build/dev, built if needed)
# DORVANE_MEMCHECK tells the end-to-end tests to leave out what valgrind itself changes: the
# program's signal handlers (valgrind holds them all) and its peak memory.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset dev >/dev/null; fi
cmake --build "$build" || exit 1
out=$build/memcheck
mkdir -p "$out"
bin=$(cd "$build/bin" && pwd)
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
for t in dorvane_tests gui_mainform_test gui_helpviewer_test gui_printing_test gui_qtmessages_test; do
  [ -x "$bin/$t" ] && run "$t" "$bin/$t"
done
for t in conversions ini modemlog storelines; do
  run "fuzz_${t}_replay" "$bin/fuzz_${t}_replay" "tests/fuzz/corpus/fuzz_$t"
done
for t in dorvane_report_e2e dorvane_linux_e2e dorvane_e2e; do
  [ -x "$bin/$t" ] && run "$t" --trace-children=yes --trace-children-skip="$skip" "$bin/$t"
done
exit $status
