#!/usr/bin/env bash
# Unpacks the VIB and checks it against its own descriptor:
# member order, a well-formed descriptor naming exactly the payload's files,
# sizes and checksums, and the plug-in descriptor the build generated.
#   check-vib.sh <kxfcli-X.Y.Z.vib> <generated plug-in descriptor>
set -euo pipefail
vib=$(realpath "$1") plugin=$(realpath "$2") here=$(realpath "$(dirname "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "check-vib: $*" >&2; exit 1; }
q() { xmllint --xpath "$1" descriptor.xml; }

# The raw ar headers, as ESXi's installer reads them.
members=$("$here/ar_extract.py" "$vib" | awk '{print $1, $3, $4, $5}') || fail "ar headers"
[ "$members" = "descriptor.xml 0 0 100644
sig.pkcs7 0 0 100644
kxfcli 0 0 100644" ] || fail "members: $(echo $members)"
[ ! -s sig.pkcs7 ] || fail "sig.pkcs7 is not empty"
xmllint --noout descriptor.xml || fail "descriptor.xml is not well-formed"
[ "$(q 'name(/*)')" = vib ] && [ "$(q 'string(/vib/@version)')" = 5.0 ] || fail "root is not <vib version=\"5.0\">"
[ "$(q 'string(/vib/acceptance-level)')" = community ] || fail "acceptance level"
[ "$(q 'string(/vib/system-requires/maintenance-mode)')" = false ] || fail "maintenance mode required"
[ "$(q 'string(/vib/live-install-allowed)')" = true ] || fail "live install not allowed"
[[ "$(q 'string(/vib/version)')" =~ ^[0-9]+\.[0-9]+\.[0-9]+-[0-9]+$ ]] || fail "version $(q 'string(/vib/version)')"
[ "$(q 'count(/vib/payloads/payload)')" = 1 ] || fail "not one payload"
[ "$(q 'string(//payload/@name)')" = kxfcli ] && [ "$(q 'string(//payload/@type)')" = tgz ] || fail "payload kind"

[ "$(q 'string(//payload/@size)')" = "$(stat -c %s kxfcli)" ] || fail "payload size"
[ "$(q 'string(//payload/checksum[@checksum-type="sha-256" and not(@verify-process)])')" = \
  "$(sha256sum <kxfcli | cut -d' ' -f1)" ] || fail "sha-256 of the payload"
gunzip -c kxfcli >payload.tar
[ "$(q 'string(//payload/checksum[@checksum-type="sha-256" and @verify-process="gunzip"])')" = \
  "$(sha256sum <payload.tar | cut -d' ' -f1)" ] || fail "sha-256 of the tar"
[ "$(q 'string(//payload/checksum[@checksum-type="sha-1" and @verify-process="gunzip"])')" = \
  "$(sha1sum <payload.tar | cut -d' ' -f1)" ] || fail "sha-1 of the tar"

listed=$(for i in $(seq 1 "$(q 'count(//file-list/file)')"); do q "string(//file-list/file[$i])"; echo; done | sed "/^$/d" | sort)
listing=$(tar --numeric-owner -tvf payload.tar)
packed=$(awk '/^-/ {print $NF}' <<<"$listing" | sort)
[ "$listed" = "$packed" ] || fail "file-list $(echo $listed) != payload $(echo $packed)"
expected="opt/OrvtFcEsxcliPlugin/bin/kxfcli
usr/lib/vmware/esxcli/ext/kxfcli.xml"
[ "$packed" = "$expected" ] || fail "payload files: $(echo $packed)"
grep -q '^drwxr-xr-x 0/0 .* opt/OrvtFcEsxcliPlugin/tmp/$' <<<"$listing" || fail "no cache directory"
awk '$2 != "0/0" {exit 1}' <<<"$listing" || fail "an entry not owned by 0/0"
tar -tvf payload.tar | awk '$2 != "root/root" {exit 1}' || fail "an entry not owned by root/root by name"
grep -q '^-rwxr-xr-x .* opt/OrvtFcEsxcliPlugin/bin/kxfcli$' <<<"$listing" || fail "executable mode"
grep -q '^-r--r--r-- .* usr/lib/vmware/esxcli/ext/kxfcli.xml$' <<<"$listing" || fail "descriptor not 0444"
tar -xf payload.tar usr/lib/vmware/esxcli/ext/kxfcli.xml
cmp -s usr/lib/vmware/esxcli/ext/kxfcli.xml "$plugin" || fail "packed plug-in descriptor differs from $plugin"
echo "check-vib: $(basename "$vib") ok"
