#!/usr/bin/env bash
# DESTDIR=<staging> cmake --install and cpack lay out the plug-in and nothing else.
#   check-install.sh <installed build dir>
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }
layout="opt/OrvtFcEsxcliPlugin/bin/kxfcli
opt/OrvtFcEsxcliPlugin/tmp/
usr/lib/vmware/esxcli/ext/kxfcli.xml"

DESTDIR="$work/stage" cmake --install "$build" >/dev/null
got=$(cd "$work/stage" && find . \( -type f -o -type d -empty \) | sed 's|^\./||' | while read -r p; do
  [ -d "$work/stage/$p" ] && echo "$p/" || echo "$p"; done | sort)
[ "$got" = "$layout" ] || fail "installed: $(echo $got)"
[ "$(stat -c %a "$work/stage/usr/lib/vmware/esxcli/ext/kxfcli.xml")" = 444 ] || fail "descriptor is not 0444"
[ -x "$work/stage/opt/OrvtFcEsxcliPlugin/bin/kxfcli" ] || fail "kxfcli is not executable"
# The installed tool loads the host's vendor library, never the stand-in of the build tree.
dynamic=$(readelf -d "$work/stage/opt/OrvtFcEsxcliPlugin/bin/kxfcli")
paths=$(sed -n 's/.*(R.*PATH).*\[\(.*\)\]/\1/p' <<<"$dynamic")
[ "$paths" = '$ORIGIN/../lib' ] || fail "kxfcli's run path: $paths"
grep -q '(RUNPATH)' <<<"$dynamic" || fail "a DT_RPATH, not a DT_RUNPATH (LD_LIBRARY_PATH must win)"
# The installed build names no path of its build tree (no sandbox, reproducible).
! grep -q "$build" "$work/stage/opt/OrvtFcEsxcliPlugin/bin/kxfcli" || fail "kxfcli names its build tree"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/pack" >/dev/null)
tarball=$(ls "$work"/pack/kxfcli-*.tar.gz)
packed=$(tar -tzf "$tarball" | sed 's|^\./||' | grep -E '(^opt/.*/(bin/kxfcli|tmp/)$)|(kxfcli.xml$)' | sort)
[ "$packed" = "$layout" ] || fail "tarball: $(tar -tzf "$tarball" | tr '\n' ' ')"
contents=$(tar -tzf "$tarball")
! grep -Eq 'kxapifconly|test' <<<"$contents" || fail "tarball holds the stand-in or tests"
echo "check-install: ok"
