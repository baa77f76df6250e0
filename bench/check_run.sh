#!/bin/bash
# "dorvane CHECK" as a whole process on a store of many calls and a ten-band charges table,
# measured side by side with its floor (store_floor: the same file read in blocks, both numbers
# of every call line parsed with std::from_chars) and with the same run on an empty store.
# Five rounds, each running the three in turn; the best time of each is reported, wall and
# processor (user + system, which a busy machine does not inflate), and its peak memory.
#   bench/check_run.sh [BUILD_DIR] [CALLS]     (default build/release, 1000000 calls)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/process_setup.sh"

mkdir -p "$work/full" "$work/empty"
"$bin/make_store" steady "$calls" "$work/full/dorvane.DB"
python3 "$here/make_check_data.py" "$work/full"
for dir in "$work/full" "$work/empty"; do
  cp "$bin/dorvane" "$bin/dorvane.HLP" "$dir/"
  cp "$work/full/dorvane.INI" "$dir/settings.INI"
done

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
# One run of a command in folder $1: "wall cpu peak_KB".
run() {
  local dir=$1
  shift
  (cd "$dir" && cp settings.INI dorvane.INI &&
    /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$@" > /dev/null 2>&1)
  awk '{printf "%s %.2f %s\n", $1, $2 + $3, $4}' "$work/time.txt"
}
declare -A wall cpu peak
for round in 1 2 3 4 5; do
  for name in floor check empty; do
    case $name in
      floor) line=$(run "$work/full" "$bin/store_floor" dorvane.DB) ;;
      check) line=$(run "$work/full" ./dorvane CHECK) ;;
      empty) line=$(run "$work/empty" ./dorvane CHECK) ;;
    esac
    read -r w c m <<< "$line"
    if [ -z "${wall[$name]:-}" ] || awk "BEGIN{exit !($w < ${wall[$name]})}"; then wall[$name]=$w; fi
    if [ -z "${cpu[$name]:-}" ] || awk "BEGIN{exit !($c < ${cpu[$name]})}"; then cpu[$name]=$c; fi
    if [ -z "${peak[$name]:-}" ] || [ "$m" -gt "${peak[$name]}" ]; then peak[$name]=$m; fi
  done
done

printf '%-32s %8s %8s %10s\n' run wall_s cpu_s peak_KB
printf '%-32s %8s %8s %10s\n' "store_floor (read + from_chars)" "${wall[floor]}" "${cpu[floor]}" "${peak[floor]}"
printf '%-32s %8s %8s %10s\n' "dorvane CHECK" "${wall[check]}" "${cpu[check]}" "${peak[check]}"
printf '%-32s %8s %8s %10s\n' "dorvane CHECK, empty store" "${wall[empty]}" "${cpu[empty]}" "${peak[empty]}"
awk -v w="${wall[check]}" -v fw="${wall[floor]}" -v c="${cpu[check]}" -v fc="${cpu[floor]}" \
    -v m="${peak[check]}" -v em="${peak[empty]}" 'BEGIN {
  printf "CHECK / floor: wall %.1fx, cpu %.1fx (at most 3x)\n", w / fw, c / fc
  printf "peak memory over the empty store: %+.1f MB (at most 10 MB)\n", (m - em) / 1024 }'
echo "store: $calls calls, $(stat -c %s "$work/full/dorvane.DB") bytes; load: $(cut -d' ' -f1-3 /proc/loadavg)"
