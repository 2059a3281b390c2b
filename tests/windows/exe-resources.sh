#!/usr/bin/env bash
# The resources inside the built revertex.exe, read back from the PE file with windres:
# the version information (1.00, 1.0.0.0, ProductName Revertex), the program icon byte
# for byte as the build's file holds it, and the firmware:
#   - a build without REVERTEX_FIRMWARE (CONTAINER "none") carries none: no resource
#     CUSTOM, no Qt resource CUSTOM, and no copy of our test image anywhere in the file;
#   - a build with it carries the container (CUSTOM/101, U.S. English) byte for byte, once
#     only, and no Qt resource named CUSTOM (the embedding of other platforms, which may
#     compress): the program has no other copy to load, so a flash that delivers the
#     image has read it from CUSTOM/101.
#   exe-resources.sh WINDRES EXE ICON CONTAINER|none TEST_IMAGE WORK_DIR
set -euo pipefail
windres=$1 exe=$2 icon=$3 container=$4 test_image=$5 work=$6
mkdir -p "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

# windres writes the resources of a PE file as a resource script; memory flags, which a
# PE file does not keep, are dropped so that a script compiled from the files compares.
dump() { "$windres" "$@" -O rc | sed -e 's/ MOVEABLE.*$//' -e 's/ PURE.*$//' -e 's/ DISCARDABLE.*$//'; }

dump -i "$exe" -J coff >"$work/exe.rc" || fail "windres cannot read the resources of $exe"

# The version information.
version=$(sed -n '/^1 VERSIONINFO/,/^END/p' "$work/exe.rc")
[ -n "$version" ] || fail "no version information (VERSIONINFO 1) in $exe"
for expected in \
  ' FILEVERSION 1, 0, 0, 0' \
  ' PRODUCTVERSION 1, 0, 0, 0' \
  '      VALUE "FileVersion", "1.00"' \
  '      VALUE "ProductVersion", "1.00"' \
  '      VALUE "ProductName", "Revertex"' \
  '      VALUE "OriginalFilename", "revertex.exe"' \
  '    VALUE "Translation", 0x409, 1200'; do
  grep -qxF -- "$expected" <<<"$version" || fail "version information lacks: $expected"
done
echo "version information: 1.00, 1.0.0.0, ProductName Revertex"

# copies FILE: how many times FILE's bytes stand in the program file.
copies() {
  perl -0777 -e 'open(my $f, "<:raw", $ARGV[0]) or die; my $exe = <$f>;
                 open(my $c, "<:raw", $ARGV[1]) or die; my $bytes = <$c>;
                 my $n = () = $exe =~ /\Q$bytes\E/g; print $n' "$exe" "$1"
}
# Qt's resource tree stores a name as its length, a hash and UTF-16 big-endian characters.
qt_resources=$(perl -0777 -e 'open(my $f, "<:raw", $ARGV[0]) or die; my $exe = <$f>;
                             my $n = () = $exe =~ /\x00\x06.{4}\x00C\x00U\x00S\x00T\x00O\x00M/sg; print $n' "$exe")
[ "$qt_resources" = 0 ] || fail "$exe carries a Qt resource named CUSTOM"

# The icon and the firmware, against a script made from the files themselves.
{
  echo 'LANGUAGE 0x09, 0x01'
  echo "1 ICON \"$icon\""
  [ "$container" = none ] || echo "101 CUSTOM \"$container\""
} >"$work/expected.rc"
dump -i "$work/expected.rc" >"$work/expected-dump.rc" || fail "windres cannot compile the expected resources"
sed '/^\/\* Type: version/,$d' "$work/exe.rc" >"$work/exe-without-version.rc"
if ! diff -B -q "$work/expected-dump.rc" "$work/exe-without-version.rc" >/dev/null; then
  diff -B "$work/expected-dump.rc" "$work/exe-without-version.rc" | head -n 20 >&2
  fail "the icon or the firmware in $exe differs from $icon / $container"
fi

if [ "$container" = none ]; then
  grep -q '"CUSTOM"' "$work/exe.rc" && fail "a build without firmware carries a resource CUSTOM"
  [ "$(copies "$test_image")" = 0 ] || fail "$exe holds the test image"
  echo "icon 1 as built; no firmware: no resource CUSTOM, no copy of the test image"
  exit 0
fi
grep -q '^101 "CUSTOM"$' "$work/exe.rc" || fail "no resource CUSTOM/101"
echo "icon 1 and firmware CUSTOM/101 ($(stat -c %s "$container") bytes): as built"
[ "$(copies "$container")" = 1 ] || fail "the container is in $exe $(copies "$container") times, not once (as CUSTOM/101)"
echo "the container is in the program file once, as CUSTOM/101, and no Qt resource CUSTOM beside it"
