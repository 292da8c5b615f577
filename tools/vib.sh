#!/usr/bin/env bash
# Packs a staged install layout (a DESTDIR tree) into an ESXi VIB: an ar
# archive of descriptor.xml, an empty sig.pkcs7 and the gzip-compressed tar
# payload. Reproducible: fixed times, ownership, modes and member order. The ar
# headers are written here as ESXi's installer reads them: plain member names
# (no GNU '/' terminator), mode 100644, owner and group 0; the payload's files
# belong to root/root.
#   tools/vib.sh <stage dir> <out.vib> <version X.Y.Z-N>
set -euo pipefail
stage=$1 out=$2 version=$3
payload=kxfcli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The time of the commit, so that two builds of it agree.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null || echo 0)}
released=$(date -u -d "@$epoch" +%Y-%m-%dT%H:%M:%S)

find "$stage" -type d -exec chmod 0755 {} +
files=$(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
(cd "$stage" && LC_ALL=C tar --sort=name --mtime="@$epoch" --owner=root:0 --group=root:0 \
  --format=ustar -cf "$work/payload.tar" -- *)
gzip -9 -n -c "$work/payload.tar" >"$work/$payload"

{
  echo '<vib version="5.0">'
  echo '  <type>bootbank</type>'
  echo "  <name>kxfcli</name>"
  echo "  <version>$version</version>"
  echo '  <vendor>Orvanta</vendor>'
  echo '  <summary>Kaltex Fibre Channel HBA esxcli plug-in</summary>'
  echo '  <description>Orvanta Kaltex Hexaview FC ESXCLI Plugin: the kxfcli tool and its esxcli namespace kxfc</description>'
  echo "  <release-date>$released</release-date>"
  echo '  <urls/>'
  echo '  <relationships>'
  echo '    <depends/>'
  echo '    <conflicts/>'
  echo '    <replaces/>'
  echo '    <provides/>'
  echo '    <compatibleWith/>'
  echo '  </relationships>'
  echo '  <software-tags/>'
  echo '  <system-requires>'
  echo '    <maintenance-mode>false</maintenance-mode>'
  echo '  </system-requires>'
  echo '  <file-list>'
  for f in $files; do echo "    <file>$f</file>"; done
  echo '  </file-list>'
  echo '  <acceptance-level>community</acceptance-level>'
  echo '  <live-install-allowed>true</live-install-allowed>'
  echo '  <live-remove-allowed>true</live-remove-allowed>'
  echo '  <cimom-restart>false</cimom-restart>'
  echo '  <stateless-ready>true</stateless-ready>'
  echo '  <overlay>false</overlay>'
  echo '  <payloads>'
  echo "    <payload name=\"$payload\" type=\"tgz\" size=\"$(stat -c %s "$work/$payload")\">"
  echo "      <checksum checksum-type=\"sha-256\">$(sha256sum <"$work/$payload" | cut -d' ' -f1)</checksum>"
  echo "      <checksum checksum-type=\"sha-256\" verify-process=\"gunzip\">$(sha256sum <"$work/payload.tar" | cut -d' ' -f1)</checksum>"
  echo "      <checksum checksum-type=\"sha-1\" verify-process=\"gunzip\">$(sha1sum <"$work/payload.tar" | cut -d' ' -f1)</checksum>"
  echo '    </payload>'
  echo '  </payloads>'
  echo '</vib>'
} >"$work/descriptor.xml"
: >"$work/sig.pkcs7"
# One ar member: its 60-byte header, its bytes, a newline to an even offset.
member() {
  local name=$1 file=$2 size
  size=$(stat -c %s "$file")
  printf '%-16s%-12s%-6s%-6s%-8s%-10s`\n' "$name" "$epoch" 0 0 100644 "$size"
  cat "$file"
  if [ $((size % 2)) -eq 1 ]; then printf '\n'; fi
}
{
  printf '!<arch>\n'
  member descriptor.xml "$work/descriptor.xml"
  member sig.pkcs7 "$work/sig.pkcs7"
  member "$payload" "$work/$payload"
} >"$work/out.vib"
mv "$work/out.vib" "$out"
