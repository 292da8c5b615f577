#!/usr/bin/env bash
# Builds and runs every test. With --sanitize, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer; with --esxi, built by the
# shipped executable's toolchain (cmake/esxi.cmake: libc++, glibc 2.17); each
# in a build tree of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "${1:-}" in
  --sanitize)
    tools/deps.sh
    dir=build-sanitize
    flags=(-DCMAKE_BUILD_TYPE=Debug -DKXFC_SANITIZE=ON)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --esxi)
    tools/deps.sh --esxi
    dir=build-esxi
    flags+=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/esxi.cmake")
    ;;
  *) tools/deps.sh ;;
esac
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure --timeout 120
