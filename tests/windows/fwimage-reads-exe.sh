#!/usr/bin/env bash
# fwimage-reads-exe.sh FWIMAGE EXE CONTAINER OUTDIR: this machine's fwimage reads the
# firmware the Windows program carries as CUSTOM/101. `verify` names it a Windows program
# and prints its figures; `embed` takes the container out byte for byte as the build put
# it in (the same container a build with -DREVERTEX_FIRMWARE=revertex.exe embeds).
set -euo pipefail
fwimage=$1 exe=$2 container=$3 out=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"

"$fwimage" verify "$exe" >"$out/verify.txt" || fail "fwimage verify $exe failed"
cat "$out/verify.txt"
grep -q '^format: exe$' "$out/verify.txt" || fail "verify did not read $exe as a Windows program"
grep -q '^resource CUSTOM/101: ' "$out/verify.txt" || fail "verify names no resource CUSTOM/101"
records=$("$fwimage" verify "$container" | sed -n 's/^records: //p')
grep -q "^records: $records\$" "$out/verify.txt" || fail "the program's firmware has not the build's $records records"

"$fwimage" embed "$exe" "$out/from-exe.container" || fail "fwimage embed $exe failed"
cmp "$out/from-exe.container" "$container" || fail "the container in $exe differs from the one the build checked"
echo "fwimage reads the firmware of $exe: $records records, byte for byte the build's container"
