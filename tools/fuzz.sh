#!/usr/bin/env bash
# Fuzzes one target with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) for a number of seconds (default 300), starting
# from its committed seeds. New inputs go to build-fuzz/corpus/<target>; a
# crash leaves its input in build-fuzz/ (crash-*), to be added to
# fuzz/corpus/<target> once fixed.
#
#   tools/fuzz.sh shell_line|options|key_value|identifiers|sfp|vpd|rdp|xml_string [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?"target: shell_line, options, key_value, identifiers, sfp, vpd, rdp or xml_string"}
seconds=${2:-300}
tools/deps.sh --fuzz
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKXFC_FUZZ=ON -DKXFC_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "kxfc_fuzz_${target}"
mkdir -p "build-fuzz/corpus/${target}"
cd build-fuzz
export KXSIM_STATE="$PWD/fuzz-sim-state.json"
exec "./fuzz/kxfc_fuzz_${target}" "corpus/${target}" "../fuzz/corpus/${target}" \
  -max_total_time="${seconds}" -print_final_stats=1
