#!/usr/bin/env bash
# Extraction throughput of a 7z archive of about 200 MB (LZMA2) through qor.dll under Wine,
# against 7-Zip's own 7zz natively on the same machine.
#   bench/archive_extract/run.sh [WORKDIR]     (default /tmp/qor-bench-archive)
# Sets up the archive (once per WORKDIR) and the win64 build of the benchmark program, then
# times one extraction each way and prints the two commands, so that any whole-command
# timer can compare them (each run overwrites the previous output).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_ROOT=${QOR_BUILD_ROOT:-$ROOT/build}
work=${1:-/tmp/qor-bench-archive}
prefix=$BUILD_ROOT/win64/wineprefix
archive=$work/payload.7z

log() { printf '==> %s\n' "$*" >&2; }

# Payload: 24 files of 10 MB of base64 text made from random bytes (about 6 bits of entropy
# per byte, so LZMA2 has real work on every byte), packed to about 200 MB (-mx=1 keeps the
# set-up short; decoding speed hardly depends on the level).
if [ ! -f "$archive" ]; then
    log "making the payload and the archive in $work (a minute or two)"
    rm -rf "$work"
    mkdir -p "$work/payload"
    for n in $(seq -w 1 24); do
        head -c 7864320 /dev/urandom | base64 -w 76 >"$work/payload/part-$n.txt"
    done
    (cd "$work/payload" && 7zz a -bd -bso0 -bsp0 -m0=LZMA2 -mx=1 "$archive" .)
    rm -rf "$work/payload"
fi
log "archive: $(du -m "$archive" | cut -f1) MB"

if [ ! -f "$BUILD_ROOT/win64/build.ninja" ]; then
    "$ROOT/dev" build win64
fi
cmake --build "$BUILD_ROOT/win64" --target archive_extract_bench >/dev/null
bench=$BUILD_ROOT/win64/bench/archive_extract_bench.exe

# Wine sees the Linux file system through drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
qor_command=("$ROOT/scripts/wine-run" --prefix "$prefix" "$bench" "$(winpath "$archive")"
             "$(winpath "$work/out-qor")")
native_command=(7zz x -y -bd -bso0 -bsp0 "-o$work/out-7zz" "$archive")

"$ROOT/scripts/wine-run" --prefix "$prefix" --init
WINEPREFIX=$prefix /usr/lib/wine/wineserver -p  # one server for all runs; ended below
trap 'WINEPREFIX=$prefix /usr/lib/wine/wineserver -k' EXIT

log "qor.dll under Wine: ${qor_command[*]}"
time "${qor_command[@]}"
log "7zz natively: ${native_command[*]}"
time "${native_command[@]}"
cmp -s "$work/out-qor/part-01.txt" "$work/out-7zz/part-01.txt" && log "outputs agree"
