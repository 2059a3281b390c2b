#!/usr/bin/env bash
# The Windows packages, made by CPack and tried under Wine with nothing else on the path:
#   - the zip holds the program, the Qt DLLs and plugins, the compiler's runtime, the README
#     with the user documents and page pictures (and none of the developers' documents)
#     and Qt's licence, and the program starts where the zip is unpacked (asking for the
#     firmware, which no package carries);
#   - the installer installs silently (/S) into Program Files the same documents, with a
#     Start-menu entry and an Apps & features entry "Revertex" with its version; the
#     installed program starts; the uninstaller removes it all again.
#   packages-under-wine.sh BUILD_DIR WINE_RUN VERSION OUTPUT_DIR
set -euo pipefail
build=$1 wine_run=$2 version=$3 out=$4
rm -rf "$out"
mkdir -p "$out"

readonly exit_limit_s=30
readonly uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Revertex'
readonly user_documents="README.md docs/using-the-wizard.md docs/serial-ports-linux.md docs/windows.md
  docs/firmware.md docs/troubleshooting.md docs/cli.md docs/pages/welcome.png"
readonly developer_documents="CONTRIBUTING.md docs/building.md docs/testing.md docs/performance.md
  docs/simulated-camera.md"

fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=x-display.sh
. "$(dirname "$0")/x-display.sh"

xvfb_pid="" program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_display

export REVERTEX_WINE_BARE=1
prefix=$(sed -n 's/^prefix=\${REVERTEX_WINE_PREFIX:-\(.*\)}$/\1/p' "$wine_run")
prefix=${REVERTEX_WINE_PREFIX:-$prefix}
[ -n "$prefix" ] || fail "no Wine prefix named in $wine_run"
wine=$(sed -n 's/^wine=\(.*\)$/\1/p' "$wine_run")
[ -n "$wine" ] || fail "no Wine named in $wine_run"

# wine_settled: returns once every Windows process of this prefix has ended. Wine's server
# ends with the last of them, and `wineserver -w` waits for that.
wine_settled() { WINEPREFIX=$prefix "$(dirname "$wine")/wineserver" -w; }

# holds_user_documents DIR WHAT: DIR holds the user documents and none of the developers'.
holds_user_documents() {
  local file
  for file in $user_documents; do
    [ -f "$1/$file" ] || fail "$2 lacks $file"
  done
  for file in $developer_documents; do
    [ -e "$1/$file" ] && fail "$2 carries the developers' $file"
  done
  return 0
}

# starts_and_cancels EXE: a package carries no firmware, so the program asks for it in a
# file dialog before its window; cancelling the dialog ends the program with status 0.
starts_and_cancels() {
  "$wine_run" "$1" >"$out/run.log" 2>&1 &
  program_pid=$!
  find_firmware_dialog "$program_pid"
  xdotool windowfocus --sync "$window" key Escape
  local status=0
  wait_for_exit "$program_pid" "$exit_limit_s" || status=$?
  program_pid=""
  [ "$status" -eq 0 ] || fail "$1 ended with status $status after Cancel: $(cat "$out/run.log")"
}

(cd "$build" && cpack -B "$out/cpack" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
zip=$out/cpack/revertex-$version-win64.zip
setup=$out/cpack/revertex-$version-win64-setup.exe
[ -f "$zip" ] || fail "no $(basename "$zip"): $(ls "$out/cpack")"
[ -f "$setup" ] || fail "no $(basename "$setup"): $(ls "$out/cpack")"

# --- the zip ---
top=revertex-$version-win64
unzip -q "$zip" -d "$out/unzipped"
for file in revertex.exe revertex-cli.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
            styles/qwindowsvistastyle.dll imageformats/qico.dll libstdc++-6.dll libgcc_s_seh-1.dll \
            libwinpthread-1.dll licenses/LGPL-3.txt licenses/GPL-3.txt licenses/Qt.txt licenses/Revertex.txt; do
  [ -f "$out/unzipped/$top/$file" ] || fail "the zip lacks $top/$file"
done
holds_user_documents "$out/unzipped/$top" "the zip"
grep -q "download.qt.io" "$out/unzipped/$top/licenses/Qt.txt" || fail "licenses/Qt.txt does not say where Qt's source is"
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$out/unzipped/$top/licenses/LGPL-3.txt" || fail "licenses/LGPL-3.txt is not the LGPL"
grep -q "^MIT License" "$out/unzipped/$top/licenses/Revertex.txt" || fail "licenses/Revertex.txt is not Revertex's MIT licence"
starts_and_cancels "$out/unzipped/$top/revertex.exe"
echo "zip: $(basename "$zip") holds the program and what it needs, and runs where it is unpacked"

# --- the installer ---
installed="$prefix/drive_c/Program Files/Revertex"
rm -rf "$installed"
"$wine_run" "$setup" /S >"$out/setup.log" 2>&1 || fail "the installer failed: $(cat "$out/setup.log")"
wine_settled   # whatever the installer started has ended too
[ -f "$installed/revertex.exe" ] || fail "nothing installed in $installed"
[ -f "$installed/Uninstall.exe" ] || fail "no uninstaller in $installed"
holds_user_documents "$installed" "the installed folder"
shortcut=$(find "$prefix/drive_c" -path '*Start Menu/Programs/Revertex/Revertex.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no Start-menu entry Revertex\\Revertex.lnk"
"$wine_run" reg query "$uninstall_key" >"$out/registry.txt" 2>&1 || fail "no Apps & features entry ($uninstall_key)"
tr -d '\r' <"$out/registry.txt" | grep -qE 'DisplayName +REG_SZ +Revertex$' || fail "Apps & features: no DisplayName Revertex: $(cat "$out/registry.txt")"
tr -d '\r' <"$out/registry.txt" | grep -qE "DisplayVersion +REG_SZ +$version\$" || fail "Apps & features: no DisplayVersion $version"
tr -d '\r' <"$out/registry.txt" | grep -qE 'DisplayIcon +REG_SZ +.*revertex\.exe' || fail "Apps & features: no icon"
echo "installer: installed into Program Files\\Revertex, Start-menu entry, Apps & features \"Revertex\" $version"
starts_and_cancels "$installed/revertex.exe"
echo "installed program starts"

# Uninstall.exe copies itself to the temporary folder, starts the copy and ends; the copy
# does the work. It runs so, as Apps & features runs it, and Wine's server is waited for:
# run in place instead (_?=<install dir>), the uninstaller could not remove itself and
# its folder, so those two effects would be left to the test.
"$wine_run" "$installed/Uninstall.exe" /S >"$out/uninstall.log" 2>&1 || fail "the uninstaller failed: $(cat "$out/uninstall.log")"
wine_settled
[ -e "$installed" ] && fail "still installed after the uninstaller: $(ls "$installed")"
[ -e "$shortcut" ] && fail "the Start-menu entry is still there"
"$wine_run" reg query "$uninstall_key" >/dev/null 2>&1 && fail "the Apps & features entry is still there"
echo "uninstaller: removed the program, its Start-menu entry and its Apps & features entry"
