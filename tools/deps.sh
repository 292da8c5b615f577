#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine (root, or sudo).
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v python3 >/dev/null || need+=(python3)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
[ -d /usr/include/gtest ] || need+=(libgtest-dev)
[ -d /usr/include/gmock ] || need+=(libgmock-dev)
command -v xmllint >/dev/null || need+=(libxml2-utils)
command -v ar >/dev/null && command -v readelf >/dev/null || need+=(binutils)
# tools/fuzz.sh: clang and its libFuzzer runtime.
if [ "${1:-}" = "--fuzz" ]; then
  command -v clang++ >/dev/null || need+=(clang)
  compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null || need+=(libclang-rt-14-dev)
fi
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi
