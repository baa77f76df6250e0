#!/bin/bash
# Whole-process time and peak memory of the import at start: "dorvane CHECK" (offscreen) on a
# store of CALLS calls with an empty modem log (the floor), with a log of 10,000 new calls, and
# with a modem log of about LOG_MB megabytes of new calls. The store and the log are put back
# before every run; best of three runs each.
#   bench/import_process.sh [BUILD_DIR] [CALLS] [LOG_MB]   (default build/release, 1000000, 100)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/process_setup.sh"
log_mb=${3:-100}

last=$("$bin/make_store" random "$calls" "$work/store.DB" 11)
python3 - "$work" "$log_mb" "$last" <<'PY'
import random, sys
from datetime import datetime, timedelta
work, log_mb = sys.argv[1], int(sys.argv[2])
random.seed(11)
# The last call's start in the store, a date-time: days since 30 December 1899.
start = datetime(1899, 12, 30) + timedelta(days=float(sys.argv[3]))

def stamp(t):
    return t.strftime('%m-%d-%Y %H:%M:%S.') + '%02d' % (t.microsecond // 10000)

def write_log(path, limit_calls=None, limit_bytes=None):
    t = start + timedelta(days=1)
    n = size = 0
    with open(path, 'w', newline='') as f:
        while (limit_calls is None or n < limit_calls) and (limit_bytes is None or size < limit_bytes):
            t += timedelta(seconds=random.randint(600, 7200), milliseconds=10 * random.randint(0, 99))
            lines = []
            def line(later, what):
                nonlocal t
                t += timedelta(seconds=later)
                lines.append(stamp(t) + ' - ' + what + '\r\n')
            line(0, 'Standard Modem in use.')
            line(1, 'Initializing modem.')
            line(0, 'Send: ATZ<cr>')
            line(0, 'Recv: OK')
            line(2, 'Dialing.')
            line(0, 'Send: ATDT5551234<cr>')
            line(20, 'Recv: CONNECT 28800')
            line(random.randint(30, 3000), 'Recv: NO CARRIER')
            line(1, 'Hanging up the modem.')
            line(0, 'Session Statistics: Reads : 12345 bytes; Writes: 2345 bytes')
            line(1, 'Standard Modem closed.')
            chunk = ''.join(lines)
            f.write(chunk)
            size += len(chunk)
            n += 1
    return n

write_log(work + '/log10k.txt', limit_calls=10000)
print('log of %d MB: %d calls' % (log_mb, write_log(work + '/logbig.txt', limit_bytes=log_mb << 20)))
open(work + '/empty.txt', 'w').close()
PY

# Seconds and peak kilobytes of the fastest of three runs, each on fresh copies of the store and
# the log ($1).
measure() {
  local log=$1 best=""
  for _ in 1 2 3; do
    rm -rf "$work/run" && mkdir "$work/run"
    cp "$bin/dorvane" "$work/run/"
    [ -f "$bin/dorvane.HLP" ] && cp "$bin/dorvane.HLP" "$work/run/"
    cp "$work/store.DB" "$work/run/dorvane.DB"
    cp "$work/$log" "$work/run/ModemLog.txt"
    local line
    line=$(cd "$work/run" && /usr/bin/time -f "%e %M" -o "$work/time.txt" ./dorvane CHECK > /dev/null 2>&1; cat "$work/time.txt")
    [ -e "$work/run/ModemLog.txt" ] && echo "the log $log was not deleted" >&2
    if [ -z "$best" ] || [ "$(echo "$line $best" | awk '{print ($1 < $3)}')" = 1 ]; then best=$line; fi
  done
  echo "$best"
}

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
printf '%-40s %10s %12s\n' run seconds peak_KB
for log in empty.txt log10k.txt logbig.txt; do
  read -r s m < <(measure "$log")
  printf '%-40s %10s %12s\n' "dorvane CHECK, log $log ($(stat -c %s "$work/$log") bytes)" "$s" "$m"
done
echo "store: $calls calls, $(stat -c %s "$work/store.DB") bytes"
