#!/usr/bin/env bash
# Builds the installed configuration (the ESXi toolchain) in two build trees and
# checks the install layout, the cpack tarball, the VIB and the executable in it
# of the first; the two VIBs must be byte-identical. The packages are left in build-install/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh --esxi
for dir in build-install build-install-2; do
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKXFC_INSTALLED=ON >/dev/null
  cmake --build "$dir" -j"$(nproc)"
done
ctest --test-dir build-install --output-on-failure
cmp build-install/kxfcli-*.vib build-install-2/kxfcli-*.vib
echo "package: $(ls build-install/kxfcli-*.vib) is reproducible"
