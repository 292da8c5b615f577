#!/usr/bin/env bash
# The executable inside the VIB's payload runs on ESXi hosts: x86-64 ELF64,
# symbol versions no newer than GLIBC_2.17, no C++ runtime library (no GLIBCXX
# or CXXABI versions), NEEDED only the vendor library and the C library's own
# objects, no unversioned undefined symbol but the KXAPI_* calls; and it runs
# here against the stand-in.
#   check-binary.sh <kxfcli-X.Y.Z.vib> <directory of the stand-in libkxapifconly.so>
set -euo pipefail
vib=$(realpath "$1") standin=$(realpath "$2") here=$(realpath "$(dirname "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "check-binary: $*" >&2; exit 1; }

"$here/ar_extract.py" "$vib" >/dev/null || fail "ar headers"
tool=opt/OrvtFcEsxcliPlugin/bin/kxfcli
gunzip -c kxfcli | tar -xf - "$tool" || fail "no $tool in the payload"

header=$(readelf -hW "$tool")
grep -Eq 'Class: +ELF64' <<<"$header" || fail "not ELF64"
grep -Eq 'Machine: +Advanced Micro Devices X86-64' <<<"$header" || fail "not x86-64"

versions=$(readelf -VW "$tool" | grep -oE 'Name: [A-Za-z_]+[0-9.]*' | sed 's/^Name: //' | sort -u)
glibc=$(grep '^GLIBC_[0-9]' <<<"$versions" | sed 's/^GLIBC_//' | sort -t. -k1,1n -k2,2n -k3,3n | tail -1)
[ -n "$glibc" ] || fail "needs no GLIBC version at all"
[ "$(printf '%s\n2.17\n' "$glibc" | sort -t. -k1,1n -k2,2n -k3,3n | tail -1)" = 2.17 ] ||
  fail "needs GLIBC_$glibc, newer than GLIBC_2.17"
! grep -Eq '^(GLIBCXX|CXXABI|GCC)_' <<<"$versions" || fail "needs C++ runtime versions: $(echo $versions)"

allowed='libkxapifconly.so libc.so.6 libm.so.6 libpthread.so.0 libdl.so.2 librt.so.1 ld-linux-x86-64.so.2'
needed=$(readelf -dW "$tool" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for lib in $needed; do
  [[ " $allowed " == *" $lib "* ]] || fail "NEEDED $lib"
done
grep -qx libkxapifconly.so <<<"$needed" || fail "does not link the vendor library"

# Undefined dynamic symbols without a version: only the vendor library's calls
# (weak references from the C start-up files resolve to nothing and are fine).
unversioned=$(readelf --dyn-syms -W "$tool" |
  awk '$7 == "UND" && $8 != "" && $8 !~ /@/ && $5 != "WEAK" {print $8}' | grep -v '^KXAPI_' || true)
[ -z "$unversioned" ] || fail "undefined without a version: $(echo $unversioned)"

# It runs: the adapter list of the stand-in's default inventory, in both forms.
export KXSIM_STATE="$work/sim-state.json"
unset KXSIM_FIXTURE KXFC_DEBUG_LEVEL
adapters="Adapter_KX3262_KXA21350001 Adapter_KX1642_KXB16420007 Adapter_KX0800_KXC00000042"
stars='****************************************************'
expected=$(echo "$stars"; for a in $adapters; do printf 'AdapterList:\nAdapters: %s\n' "$a"; done; echo "$stars")
out=$(LD_LIBRARY_PATH="$standin" "$tool" -t adapter listcli) || fail "does not run"
[ "$out" = "$expected" ] || fail "adapter listcli: $out"
LD_LIBRARY_PATH="$standin" "$tool" -t adapter list >list.xml || fail "does not run"
xmllint --noout list.xml || fail "adapter list is not well-formed"
[ "$(xmllint --xpath 'string(//structure[3]/field[@name="Adapters"]/string)' list.xml)" = Adapter_KX0800_KXC00000042 ] ||
  fail "adapter list: $(cat list.xml)"
echo "check-binary: kxfcli needs GLIBC_$glibc at most, no C++ runtime library; NEEDED $(echo $needed)"
