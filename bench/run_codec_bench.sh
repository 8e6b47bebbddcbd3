#!/usr/bin/env bash
# Runs the codec benchmark against Net-SNMP and prints, per message, the
# time per operation of both and the ratio ours / Net-SNMP (short batches
# of both alternate, so that the drift of a noisy machine cancels out), then
# the instructions per operation under callgrind, which do not drift at all.
# The Google Benchmark form of the same operations: build/bench/bench/codec_bench.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLV_BUILD_BENCH=ON -DTOLV_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target codec_bench >/dev/null
bench=build/bench/bench/codec_bench

echo "time per message, paired rounds (thread CPU time, medians of 41 rounds, ns):"
"$bench" --paired 41

instructions() {  # operation message count
  local out
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='*measured_loop*' \
    "$bench" --count "$1" "$2" "$3" >/dev/null 2>&1
  local total
  total=$(grep -E '^(summary|totals):' "$out" | head -1 | awk '{print $2}')
  rm -f "$out"
  echo $(( total / $3 ))
}


echo "instructions per operation (callgrind):"
printf '%-8s %-3s %10s %10s %7s\n' op msg ours net-snmp ratio
for op in decode encode; do
  for m in 1 2 3; do
    ours=$(instructions "$op/ours" "$m" 2000)
    theirs=$(instructions "$op/netsnmp" "$m" 2000)
    printf '%-8s M%-2s %10s %10s %7s\n' "$op" "$m" "$ours" "$theirs" "$(python3 -c "print('%.2f' % ($ours / $theirs))")"
  done
done
