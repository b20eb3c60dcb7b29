#!/bin/bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, address and
# undefined-behaviour sanitizers) and runs each for SECONDS (default 20) on a
# copy of its seed corpus, so that the repository stays as it is.
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]    TARGET: text_of_frame text_frames neuron_id
#
# Findings (crashing inputs) are written to build/fuzz/findings/, each run's
# output to build/fuzz/<target>.log. Fails when a target finds anything.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing cmake ninja-build clang libclang-rt-14-dev

seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(text_of_frame text_frames neuron_id)

# The longest input that means anything to each target.
declare -A max_len=([text_of_frame]=257 [text_frames]=1024 [neuron_id]=64)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/findings
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus-run/$target
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp fuzz/corpus/"$target"/* "$corpus"/
  log=build/fuzz/$target.log
  if ! build/fuzz/fuzz/"${target}_fuzz" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
      -timeout=10 -print_final_stats=1 -artifact_prefix=build/fuzz/findings/"$target"- \
      "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target found a fault (see $log and build/fuzz/findings/)"
    exit 1
  fi
  echo "fuzz: $target: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') executions in ${seconds} s, corpus $(ls "$corpus" | wc -l) inputs, no findings"
done
