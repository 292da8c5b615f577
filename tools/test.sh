#!/usr/bin/env bash
# Builds and runs every test. With --sanitize, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, in a build tree of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DKXFC_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure --timeout 120
