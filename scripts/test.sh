#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/format-check.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORV_SANITIZE=ON -DKORV_TESTS=ON >/dev/null
cmake --build build-test
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/cmake/lsan.supp"
ctest --test-dir build-test --output-on-failure -j "$(nproc)" --timeout 300
if [ -d fuzz ] && [ -n "$(ls fuzz/*.cpp 2>/dev/null)" ]; then
  ./scripts/fuzz.sh 20
fi
