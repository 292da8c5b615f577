#!/usr/bin/env bash
# Builds the tool with the stand-in library and runs it against the default
# inventory. With no arguments it lists the adapters; otherwise it passes the
# arguments on (none at all starts the $> prompt: use tools/demo.sh --prompt).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kxfcli >/dev/null
if [ "${1:-}" = "--prompt" ]; then exec build/kxfcli; fi
if [ $# -eq 0 ]; then set -- -t adapter listcli; fi
exec build/kxfcli "$@"
