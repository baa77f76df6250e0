#!/usr/bin/env bash
# Builds Dorvane in every configuration and runs every check; says at the end what ran, what was
# skipped and why. With no argument it runs all stages, in this order:
#   format  clang-format --dry-run --Werror over the sources
#   dev     g++ debug build with the benchmarks, every test (the fuzz corpus replays and the
#           install check, scripts/check-install.sh, among them)
#   nogui   the core, dorvane-report and dorvane-import built and tested with Qt made unavailable
#   asan    g++ with AddressSanitizer + UndefinedBehaviorSanitizer, every test but the install check
#   clang   clang build with every warning an error, every test but the install check
#   fuzz    libFuzzer targets built with clang, each run for DORVANE_FUZZ_SECONDS (30) seconds
#           from the fixed seed DORVANE_FUZZ_SEED (1), so that a run repeats the inputs of the
#           last; DORVANE_FUZZ_SEED=0 draws a new seed each run, for a longer hunt
# Name stages to run only those: "bash scripts/test.sh asan". DORVANE_SKIP="fuzz clang" leaves
# stages out. scripts/prereqs.sh first installs what is missing (DORVANE_NO_INSTALL=1: only names
# it); under CI (CI=true) a stage skipped for want of a tool fails the run.
# Builds use ccache when CMAKE_CXX_COMPILER_LAUNCHER says so; nothing here needs it.
set -uo pipefail
cd "$(dirname "$0")/.."

all_stages=(format dev nogui asan clang fuzz)
stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=("${all_stages[@]}")
for s in "${stages[@]}"; do
  case " ${all_stages[*]} " in
    *" $s "*) ;;
    *) echo "Unknown stage '$s' (stages: ${all_stages[*]})" >&2; exit 2 ;;
  esac
done

fuzz_seconds=${DORVANE_FUZZ_SECONDS:-30}
fuzz_seed=${DORVANE_FUZZ_SEED:-1}
jobs=$(nproc 2>/dev/null || echo 2)
started=$SECONDS
summary=()
failure_logs=()
failed=0

say() { printf '\n=== [%s] %s\n' "$(elapsed $((SECONDS - started)))" "$*"; }

elapsed() {
  local s=$(($1))
  printf '%dm%02ds' $((s / 60)) $((s % 60))
}

# record STAGE STATUS DETAIL STARTED_AT
record() {
  summary+=("$(printf '  %-7s %-8s %-9s %s' "$1" "$2" "$(elapsed $((SECONDS - $4)))" "$3")")
  case "$2" in
    failed) failed=1 ;;
    skipped)
      # A tool that prereqs.sh should have installed is missing: CI must not pass without it.
      if [ "${CI:-}" = "true" ] && [[ "$3" != "left out"* ]]; then failed=1; fi
      ;;
  esac
}

skipped_on_request() {
  case " ${DORVANE_SKIP:-} " in
    *" $1 "*) return 0 ;;
  esac
  return 1
}

# Counts of a finished ctest run, e.g. "212 tests, 3 skipped".
ctest_counts() {
  local log=$1 total skipped
  total=$(grep -Eo 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | grep -Eo '[0-9]+$' |
    tail -1)
  skipped=$(grep -c '\*\*\*Skipped' "$log" 2>/dev/null || true)
  printf '%s tests, %s skipped' "${total:-?}" "${skipped:-0}"
}

# build_and_test PRESET: configure, build and run every test of one preset.
build_and_test() {
  local preset=$1 t0=$SECONDS log
  log=build/logs/$preset-ctest.log
  say "$preset: configure and build"
  if ! cmake --preset "$preset" >/dev/null; then
    record "$preset" failed "configure failed" "$t0"
    return
  fi
  if ! cmake --build --preset "$preset"; then
    record "$preset" failed "build failed" "$t0"
    return
  fi
  say "$preset: tests"
  ctest --preset "$preset" -j"$jobs" 2>&1 | tee "$log"
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    local names
    names=$(sed -n '/The following tests FAILED:/,$p' "$log" | grep -E '^[[:space:]]+[0-9]+ - ' |
      sed -E 's/^[[:space:]]+[0-9]+ - //; s/ \(.*//' | head -3 | paste -sd, -)
    record "$preset" failed "tests failed ($(ctest_counts "$log"); see $log): $names" "$t0"
    # What failed, with its output, goes at the end where a CI log's tail shows it; the tests
    # run once more alone, which also tells a test that fails only beside others.
    {
      echo "--- $preset: failed tests"
      sed -n '/The following tests FAILED:/,$p' "$log" | grep -E '^[[:space:]]+[0-9]+ - '
      echo "--- $preset: the failed tests run again alone"
      ctest --preset "$preset" --rerun-failed --output-on-failure 2>&1 | tail -25
    } >"build/logs/$preset-failed.log"
    failure_logs+=("build/logs/$preset-failed.log")
  else
    record "$preset" passed "$(ctest_counts "$log")" "$t0"
  fi
}

stage_format() {
  local t0=$SECONDS files
  if ! command -v clang-format >/dev/null; then
    record format skipped "clang-format is not installed" "$t0"
    return
  fi
  say "format: clang-format --dry-run --Werror"
  mapfile -t files < <(git ls-files -- '*.cpp' '*.cxx' '*.h' 2>/dev/null ||
    find src tests bench -name '*.cpp' -o -name '*.cxx' -o -name '*.h')
  if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(find src tests bench \( -name '*.cpp' -o -name '*.cxx' -o -name '*.h' \))
  fi
  if clang-format --dry-run --Werror "${files[@]}"; then
    record format passed "${#files[@]} files" "$t0"
  else
    record format failed "files not formatted (clang-format -i FILE)" "$t0"
  fi
}

stage_dev() { build_and_test dev; }
stage_nogui() { build_and_test nogui; }
stage_asan() { build_and_test asan; }

stage_clang() {
  if ! command -v clang++ >/dev/null; then
    record clang skipped "clang++ is not installed" "$SECONDS"
    return
  fi
  build_and_test clang
}

# Whether clang can link a libFuzzer program (its runtime comes in a package of its own).
libfuzzer_works() {
  local dir
  dir=$(mktemp -d)
  printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' \
    >"$dir/probe.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/probe.cpp" -o "$dir/probe" >/dev/null 2>&1
  local ok=$?
  rm -rf "$dir"
  return $ok
}

stage_fuzz() {
  local t0=$SECONDS
  if ! command -v clang++ >/dev/null; then
    record fuzz skipped "clang++ is not installed" "$t0"
    return
  fi
  if ! libfuzzer_works; then
    record fuzz skipped "clang cannot link libFuzzer (package libclang-rt-14-dev)" "$t0"
    return
  fi
  say "fuzz: build"
  if ! cmake --preset fuzz >/dev/null || ! cmake --build --preset fuzz; then
    record fuzz failed "build failed" "$t0"
    return
  fi
  local targets=() t
  for t in build/fuzz/bin/fuzz_*; do
    [ -x "$t" ] && targets+=("$t")
  done
  if [ ${#targets[@]} -eq 0 ]; then
    record fuzz failed "no fuzz target was built" "$t0"
    return
  fi
  say "fuzz: ${#targets[@]} targets, ${fuzz_seconds} s each from seed $fuzz_seed, $jobs at a time"
  local out=build/fuzz/runs
  rm -rf "$out"
  mkdir -p "$out"
  # New inputs go to a scratch folder; the seed corpus in the tree is only read. The targets run
  # in batches of one per core.
  local batch=() bad=() name runs i
  for ((i = 0; i < ${#targets[@]}; i += jobs)); do
    batch=("${targets[@]:i:jobs}")
    local pids=()
    for t in "${batch[@]}"; do
      name=$(basename "$t")
      mkdir -p "$out/$name.corpus" "$out/$name.findings"
      "$t" -seed="$fuzz_seed" -max_total_time="$fuzz_seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$out/$name.findings/" "$out/$name.corpus" "tests/fuzz/corpus/$name" \
        >"$out/$name.log" 2>&1 &
      pids+=($!)
    done
    for t in "${!pids[@]}"; do
      name=$(basename "${batch[$t]}")
      if ! wait "${pids[$t]}"; then
        bad+=("$name")
        echo "--- $name found a fault; the input that shows it:"
        ls "$out/$name.findings"/* 2>/dev/null | sed 's/^/    /'
        tail -n 40 "$out/$name.log"
      fi
      runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$out/$name.log" | grep -Eo '[0-9]+$' | tail -n 1)
      echo "$name: ${runs:-?} runs"
    done
  done
  if [ ${#bad[@]} -gt 0 ]; then
    record fuzz failed "findings in ${bad[*]}: inputs in $out/<target>.findings/ (once fixed, add each to tests/fuzz/corpus/<target>/)" "$t0"
  else
    record fuzz passed "${#targets[@]} targets, ${fuzz_seconds} s each, no finding" "$t0"
  fi
}

# prereqs.sh runs apt-get only when a package is missing, so a fresh machine gets what it needs
# and a prepared one is not asked for sudo. DORVANE_NO_INSTALL=1 only names what is missing.
if [ "${DORVANE_NO_INSTALL:-}" = 1 ]; then
  bash scripts/prereqs.sh --check || true
elif ! bash scripts/prereqs.sh; then
  echo "Installing the prerequisites failed; the stages below may be skipped." >&2
fi
mkdir -p build/logs

for s in "${stages[@]}"; do
  if skipped_on_request "$s"; then
    record "$s" skipped "left out on request (DORVANE_SKIP)" "$SECONDS"
    continue
  fi
  "stage_$s"
done
for s in "${all_stages[@]}"; do
  case " ${stages[*]} " in
    *" $s "*) ;;
    *) summary+=("$(printf '  %-7s %-8s %-9s %s' "$s" skipped - "left out: not named on the command line")") ;;
  esac
done

for f in "${failure_logs[@]}"; do cat "$f"; done
say "Summary ($(elapsed $((SECONDS - started))) in all)"
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
  echo "FAILED"
  exit 1
fi
echo "OK"
