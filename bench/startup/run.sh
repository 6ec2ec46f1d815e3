#!/usr/bin/env bash
# Start-up time of the setup program under Wine: from the start of the process to its first
# statement, for a setup whose resource archive holds 20 MB and for one whose resource archive
# is empty. The first statement of both scripts calls end.dll, which ends the process, so the
# whole process's time is the start-up's.
#   bench/startup/run.sh [WORKDIR]     (default /tmp/qor-bench-startup)
# Builds the two setup folders and prints the two commands (each removes the support folders
# that earlier runs left in the temporary folder, then starts the setup silently); time them
# with any whole-command timer while a persistent wineserver runs for the prefix (printed too).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_ROOT=${QOR_BUILD_ROOT:-$ROOT/build}
work=${1:-/tmp/qor-bench-startup}
prefix=$BUILD_ROOT/win64/wineprefix

log() { printf '==> %s\n' "$*" >&2; }

for preset in win64 host; do
    [ -f "$BUILD_ROOT/$preset/build.ninja" ] || "$ROOT/dev" build "$preset"
done
cmake --build "$BUILD_ROOT/win64" --target qorstub end_process_plugin >/dev/null
cmake --build "$BUILD_ROOT/host" --target qorscript >/dev/null
"$ROOT/scripts/wine-run" --prefix "$prefix" --init

rm -rf "$work"
mkdir -p "$work/large" "$work/empty-resources"
head -c $((20 * 1024 * 1024)) /dev/urandom >"$work/large/media.bin"
(cd "$work/large" && 7zz a -bd -bso0 -bsp0 -mx=1 "$work/large.7z" .)
(cd "$work/empty-resources" && 7zz a -bd -bso0 -bsp0 "$work/empty.7z" .)

# Both setups take end.dll from the media folder END\ of their data folder (an empty archive
# cannot carry it), so the two differ in their resource archives alone.
printf '@plugin End Process\n[media END\\] End Process | | end.dll\nComment\n' >"$work/setup.listing"

for kind in large empty; do
    folder=$work/setup-$kind
    mkdir -p "$folder"
    "$BUILD_ROOT/host/tools/script_compiler/qorscript" "$work/setup.listing" \
        "$BUILD_ROOT/win64/engine/session/qorstub.exe" "$folder/setup.exe"
    cp "$BUILD_ROOT/win64/engine/session/qor.dll" "$folder/"
    cp "$work/$kind.7z" "$folder/setup.res"
    cp "$ROOT/examples/setup/DemoSetup.wxs" "$work/package.wxs"
    [ -f "$work/package.msi" ] || wixl -o "$work/package.msi" "$work/package.wxs"
    cp "$work/package.msi" "$folder/setup.msi"
    mkdir -p "$folder/data/END"
    cp "$BUILD_ROOT/win64/bench/startup/end.dll" "$folder/data/END/"
done

temp=$(WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 winepath -u 'C:\users' 2>/dev/null)/$(id -un)/Temp
log "resource archives: $(du -k "$work/large.7z" | cut -f1) KB and $(du -k "$work/empty.7z" | cut -f1) KB"
echo "persistent wineserver: WINEPREFIX=$prefix /usr/lib/wine/wineserver -p"
for kind in large empty; do
    echo "$kind: sh -c 'rm -rf $temp/qor*; WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=\"mscoree,mshtml=\" exec /usr/lib/wine/wine64 $work/setup-$kind/setup.exe /s'"
done
