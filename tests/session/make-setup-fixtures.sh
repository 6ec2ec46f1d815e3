#!/usr/bin/env bash
# Builds the parts of the setup folders that the setup program tests assemble: resource
# archives, a splash picture and a file that is not an archive.
#   make-setup-fixtures.sh 7ZZ OUTDIR RECORD_DLL WAIT_DLL
set -euo pipefail

sevenzip=$1
out=$2
record_dll=$3
wait_dll=$4
work=$out/work
rm -rf "$out"
mkdir -p "$work"

add() { "$sevenzip" a -bd -bso0 -bsp0 "$@"; }

# The usual resource archive: the recording plug-in, a file and a file in a sub-folder.
tree=$work/resources
mkdir -p "$tree/rules"
cp "$record_dll" "$tree/record.dll"
printf 'Resource file of the test setup.\r\n' >"$tree/readme.txt"
printf 'A rule file in a folder.\r\n' >"$tree/rules/first.qorf"
(cd "$tree" && add -m0=LZMA2 -mx=5 "$out/resources.7z" record.dll readme.txt rules)

# The same with the test plug-in that waits for a file (a setup that stays in its run).
cp "$wait_dll" "$tree/wait.dll"
(cd "$tree" && add -m0=LZMA2 -mx=5 "$out/waiting.7z" record.dll wait.dll readme.txt rules)

# A resource archive that holds 20 MB: the plug-in and 20 MB of data that does not compress.
mkdir -p "$work/large"
cp "$record_dll" "$work/large/record.dll"
head -c $((20 * 1024 * 1024)) /dev/urandom >"$work/large/payload.bin"
(cd "$work/large" && add -m0=LZMA2 -mx=1 "$out/large.7z" record.dll payload.bin)

# A resource archive without any entry, and a resource file that is no archive at all.
mkdir -p "$work/empty"
(cd "$work/empty" && add "$out/empty.7z" .)
printf 'This text file is not an archive.\r\n' >"$out/not-an-archive.7z"

# A splash picture of 400 x 240 pixels (a Windows 24-bit bitmap).
convert -size 400x240 gradient:'#1d4f7c'-'#9cc3e6' -fill '#f4f4f4' \
    -draw 'rectangle 24,24 376,72' -fill '#e08a1e' -draw 'circle 200,160 200,200' \
    "BMP3:$out/setup.bmp"
rm -rf "$work"
