#!/bin/bash
# Whole-process time and peak memory of dorvane-report beside the window's own costs analysis
# (the start-up run of "dorvane CHECK", offscreen) on the same call store and a ten-band table,
# and the same runs on an empty store as the memory floor. Best of three runs each.
#   bench/report_process.sh [BUILD_DIR] [CALLS]     (default build/release, 1000000 calls)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/process_setup.sh"

"$bin/make_store" random "$calls" "$work/store.DB" 11 > /dev/null
python3 - "$work" <<'PY'
work = __import__('sys').argv[1]
days = ['Mon, Tue, Wed, Thu, Fri', 'Sun, Sat', 'Mon', 'Tue', 'Wed', 'Thu', 'Fri', 'Sat', 'Sun']
rows = [(d, '%02d:00:00 - %02d:59:59' % (i % 12 + 6, i % 12 + 8), '0.%02d' % (i + 1),
         '0.%02d' % (i + 5), '0.%d' % (i % 5), str(i % 4)) for i, d in enumerate(days)]
rows.append(('The time not specified above', '00:00:00 - 23:59:59', '0.10', '0.05', '0', '0'))
lines = ['[strgrdCost]', 'Count=%d' % len(rows)]
for r, row in enumerate(rows, 1):
    lines += ['Cell%d%d=%s' % (c, r, v) for c, v in enumerate(row)]
open(work + '/table.INI', 'w', newline='').write('\r\n'.join(lines) + '\r\n')
PY

# Seconds and peak kilobytes of the fastest of three runs of a command in folder $1.
measure() {
  local dir=$1 best=""
  shift
  for _ in 1 2 3; do
    local line
    line=$(cd "$dir" && /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" > /dev/null 2>&1; cat "$work/time.txt")
    if [ -z "$best" ] || [ "$(echo "$line $best" | awk '{print ($1 < $3)}')" = 1 ]; then best=$line; fi
  done
  echo "$best"
}

setup() {  # $1 folder, $2 store or empty
  mkdir -p "$1"
  cp "$bin/dorvane" "$bin/dorvane-report" "$1/"
  [ -f "$bin/dorvane.HLP" ] && cp "$bin/dorvane.HLP" "$1/"
  cp "$work/table.INI" "$1/dorvane.INI"
  if [ -n "$2" ]; then cp "$2" "$1/dorvane.DB"; fi
}
setup "$work/full" "$work/store.DB"
setup "$work/empty" ""

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
printf '%-34s %10s %12s %10s %12s\n' run seconds peak_KB empty_s empty_KB
row() {
  local name=$1
  shift
  read -r s m < <(measure "$work/full" "$@")
  read -r es em < <(measure "$work/empty" "$@")
  printf '%-34s %10s %12s %10s %12s\n' "$name" "$s" "$m" "$es" "$em"
}
row "dorvane CHECK (window analysis)" ./dorvane CHECK
for format in text csv monthly html; do
  row "dorvane-report --format $format" ./dorvane-report --format "$format" --today 2005-01-15
done
row "dorvane-report --logbook" ./dorvane-report --logbook
row "dorvane-report --tariff x2" ./dorvane-report --tariff dorvane.INI --tariff dorvane.INI
echo "store: $calls calls, $(stat -c %s "$work/store.DB") bytes"
