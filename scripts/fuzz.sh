#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds, default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-20}"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORV_FUZZ=ON -DKORV_TESTS=OFF >/dev/null
cmake --build build-fuzz
for t in build-fuzz/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  mkdir -p "build-fuzz/corpus/$name"
  seeds=""
  [ -d "fuzz/seeds/${name#fuzz_}" ] && seeds="fuzz/seeds/${name#fuzz_}"
  echo "fuzz: $name for ${secs}s"
  log="build-fuzz/$name.log"
  if ! "$t" -max_total_time="$secs" -max_len=4096 -print_final_stats=0 \
       -artifact_prefix="build-fuzz/" "build-fuzz/corpus/$name" $seeds >"$log" 2>&1; then
    grep -E 'ERROR|runtime error|SUMMARY|#[0-9]+ ' "$log" | head -n 30
    tail -n 5 "$log"
    exit 1
  fi
  tail -n 1 "$log"
done
