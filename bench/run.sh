#!/bin/bash
# Measures tarvix against the cost floor of its job and prints the figures:
#   bench/run.sh [RUNS]          (RUNS: runs per throughput/memory figure, default 21)
#
# 1. Throughput: the same 300,000 lines (44 bytes on average) through tarvix
#    and through bench/reference_loop, both over the no-op driver, which ends
#    the process right after the 300,000th ldv_write. CPU time (user+sys, from
#    bash's `time`, to the millisecond; and perf's task-clock where perf
#    works) and wall time, medians over RUNS runs taken in turns; instruction
#    counts from valgrind's callgrind (one run each, exact).
# 2. Peak memory: max RSS from /usr/bin/time -f %M, over RUNS runs of each
#    (the figure moves by some 100 KB from run to run with where address space
#    randomisation puts the C library: pages are mapped in blocks around each
#    page touched), and once more with randomisation off (setarch -R), where
#    it is the same in every run. Also for the reference loop with the
#    console's start-up output (reference_loop --startup).
# 3. Idle cost: CPU time that tarvix uses in the 10 s after its input ended
#    (from /proc/PID/schedstat, in nanoseconds), and how often it woke up.
# 4. Reply latency: bench/latency_probe over the latency driver.
# 5. Frame operations per second: the Google Benchmark binary.
#
# Other work on the machine shows in the figures: run it when the machine is
# quiet, and look at the spread (min..max) printed beside each median.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing cmake ninja-build g++ libbenchmark-dev time valgrind >&2

runs=${1:-21}
lines_count=300000
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
dir=build/bench/bench

work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null; rm -rf "$work"' EXIT
lines=$work/lines.txt
awk -v n=$lines_count 'BEGIN {
  s = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-"
  for (i = 0; i < n; i++) printf "echo %06d %s\n", i, substr(s, 1, i % 64)
}' >"$lines"

# median, min and max of the numbers on standard input, one a line
stats() { sort -g | awk '{ a[NR] = $1 } END {
  m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
  printf "%g %g %g\n", m, a[1], a[NR] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

echo "== bench/run.sh, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average:$(
  uptime | sed 's/.*load average://')"
echo "input: $lines_count lines, $(wc -c <"$lines") bytes; $runs runs each"

tarvix=("$dir/noop/tarvix" LON1 8000000180F7)
reference=("$dir/noop/reference_loop")
reference_startup=("$dir/noop/reference_loop" --startup)
export NOOPDRV_EXIT_AFTER=$lines_count
TIMEFORMAT='%3R %3U %3S'
# perf's task-clock, where perf works here, gives the CPU time to 10 us.
have_perf=false
perf stat -x, -e task-clock -o /dev/null true 2>/dev/null && have_perf=true
for ((i = 0; i < runs; i++)); do
  for name in tarvix reference; do
    declare -n program=$name
    { time "${program[@]}" <"$lines" >/dev/null; } 2>>"$work/$name.time"
    if $have_perf; then
      perf stat -x, -e task-clock -o "$work/perf.out" -- "${program[@]}" <"$lines" >/dev/null
      awk -F, '/task-clock/ { print $1 }' "$work/perf.out" >>"$work/$name.task"
    fi
  done
done
for ((i = 0; i < runs; i++)); do
  for name in tarvix reference reference_startup; do
    declare -n program=$name
    /usr/bin/time -f %M -a -o "$work/$name.rss" "${program[@]}" <"$lines" >/dev/null
  done
done

echo
echo "-- throughput (ms; median min max)"
for name in tarvix reference; do
  cpu=$(awk '{ print ($2 + $3) * 1000 }' "$work/$name.time" | stats)
  wall=$(awk '{ print $1 * 1000 }' "$work/$name.time" | stats)
  task=-
  if $have_perf; then task=$(stats <"$work/$name.task"); fi
  printf '%-10s cpu(user+sys) %-14s perf task-clock %-20s wall %s\n' "$name" "$cpu" "$task" "$wall"
  declare "${name}_cpu=${cpu%% *}" "${name}_wall=${wall%% *}" "${name}_task=${task%% *}"
done
echo "ratio tarvix/reference: cpu $(ratio "$tarvix_cpu" "$reference_cpu"), task-clock $(
  $have_perf && ratio "$tarvix_task" "$reference_task" || echo -), wall $(
  ratio "$tarvix_wall" "$reference_wall")   (target: <= 1.1)"

for name in tarvix reference; do
  declare -n program=$name
  instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "${program[@]}" \
    <"$lines" 2>&1 >/dev/null | awk '/Collected/ { print $NF }')
  declare "${name}_ir=$instructions"
  printf '%-10s instructions %s\n' "$name" "$instructions"
done
echo "ratio tarvix/reference: instructions $(ratio "$tarvix_ir" "$reference_ir")"

echo
echo "-- peak memory (max RSS, KB; median min max)"
for name in tarvix reference reference_startup; do
  declare -n program=$name
  rss=$(stats <"$work/$name.rss")
  fixed=$(setarch -R /usr/bin/time -f %M "${program[@]}" <"$lines" 2>&1 >/dev/null)
  printf '%-18s %-16s without randomisation %s\n' "$name" "$rss" "$fixed"
  declare "${name}_rss=${rss%% *}" "${name}_fixed=$fixed"
done
echo "ratio tarvix/reference: max RSS $(ratio "$tarvix_rss" "$reference_rss"), without" \
  "randomisation $(ratio "$tarvix_fixed" "$reference_fixed")   (target: <= 1.1)"
echo "ratio tarvix/reference_startup: max RSS $(ratio "$tarvix_rss" "$reference_startup_rss")," \
  "without randomisation $(ratio "$tarvix_fixed" "$reference_startup_fixed")"
unset NOOPDRV_EXIT_AFTER

echo
echo "-- idle cost after end of input (10 s)"
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }
wakeups() { awk '/^voluntary_ctxt_switches/ { print $2 }' /proc/"$1"/status; }
"${tarvix[@]}" <"$lines" >/dev/null &
pid=$!
size=$(wc -c <"$lines")
until [ "$(awk '/^pos:/ { print $2 }' /proc/$pid/fdinfo/0)" = "$size" ]; do sleep 0.05; done
sleep 1
cpu0=$(cpu_ns $pid) woke0=$(wakeups $pid)
sleep 10
cpu1=$(cpu_ns $pid) woke1=$(wakeups $pid)
kill $pid
wait $pid 2>/dev/null || true
pid=
awk -v c=$((cpu1 - cpu0)) -v w=$((woke1 - woke0)) 'BEGIN {
  printf "cpu %.6f s in 10 s = %.4f%% of a core (target: < 0.5%%), %d wake-ups\n", c / 1e9, c / 1e9 / 10 * 100, w }'

echo
echo "-- reply latency, driver's call of the routine to the bytes read from the pipe"
for ((i = 0; i < 3; i++)); do
  "$dir/latency_probe" "$dir/latency/tarvix" 2000 2000
done

echo
echo "-- frame operations (Google Benchmark, median of 5 repetitions)"
"$dir/text_frame_perftest" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 2>&1 | grep -E '^(Benchmark|-|[a-z_/0-9]+_median)'
