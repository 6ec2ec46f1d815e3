#!/usr/bin/env bash
# Builds the 7z archives that the archive tests read, from files this script writes itself.
#   make-archives.sh 7ZZ OUTDIR
set -euo pipefail

sevenzip=$1
out=$2
work=$out/work
rm -rf "$out"
mkdir -p "$work"

add() { "$sevenzip" a -bd -bso0 -bsp0 "$@"; }

# The payload: a few text files in folders, an empty folder and one larger file.
tree=$work/tree
mkdir -p "$tree/docs/deep" "$tree/empty" "$tree/data"
printf 'Readme of the test archive.\r\n' >"$tree/readme.txt"
printf 'Guide line 1\r\nGuide line 2\r\n' >"$tree/docs/guide.txt"
printf 'Notes, deep down.\r\n' >"$tree/docs/deep/notes.txt"
seq -f 'line %g of the numbers file' 1 20000 >"$tree/data/numbers.txt"
(cd "$tree" && add -m0=Copy "$out/plain.7z" readme.txt docs empty data)
(cd "$tree" && add -m0=LZMA2 -mx=5 "$out/lzma2.7z" readme.txt docs empty data)
(cd "$tree" && add -m0=BCJ -m1=LZMA "$out/bcj.7z" readme.txt docs empty data)
(cd "$tree" && add '-pSecret 1' -mhe=on "$out/encrypted-headers.7z" readme.txt docs data)
(cd "$tree" && add '-pSecret 1' "$out/encrypted-data.7z" readme.txt docs data)

# One file of exactly 1000 bytes, for the progress figures.
mkdir -p "$work/thousand"
head -c 1000 "$tree/data/numbers.txt" >"$work/thousand/thousand.txt"
(cd "$work/thousand" && add "$out/thousand.7z" thousand.txt)

# A larger file (about 5 MB) that 7-Zip reports in several progress steps while writing it.
mkdir -p "$work/large"
seq -f 'record %g of the large file' 1 170000 >"$work/large/large.txt"
(cd "$work/large" && add -m0=LZMA2 -mx=1 "$out/large.7z" large.txt)

# Damaged copies: packed data overwritten in the middle, and the file cut in half (its
# headers, at the end, are lost).
cp "$out/lzma2.7z" "$out/damaged-data.7z"
printf '\x55\xaa%.0s' $(seq 1 32) | dd of="$out/damaged-data.7z" bs=1 seek=200 conv=notrunc status=none
size=$(stat -c %s "$out/lzma2.7z")
head -c $((size / 2)) "$out/lzma2.7z" >"$out/truncated.7z"
printf 'This text file is not an archive.\r\n' >"$out/not-an-archive.7z"

# Hostile entry paths, one archive each, after a harmless file. 7z archives separate folders
# with '/'; -spf stores the paths as given.
hostile() {  # hostile NAME PATH-AS-STORED
    local name=$1 stored=$2
    local dir=$work/hostile-$name/in/side
    mkdir -p "$dir/a"
    printf 'harmless\r\n' >"$dir/good.txt"
    printf 'escaped\r\n' >"$dir/../evil.txt"
    (cd "$dir" && add -spf "$out/hostile-$name.7z" good.txt "$stored")
}
hostile parent ../evil.txt
hostile inner-parent a/../../evil.txt
hostile absolute "$work/hostile-absolute/in/evil.txt"
hostile unc "/$work/hostile-unc/in/evil.txt"  # stored with a leading "//"
# A colon in a name is a drive prefix (or a stream) on Windows; NUL is a device.
mkdir -p "$work/hostile-names"
printf 'harmless\r\n' >"$work/hostile-names/good.txt"
printf 'escaped\r\n' >"$work/hostile-names/C:evil.txt"
printf 'escaped\r\n' >"$work/hostile-names/NUL.txt"
(cd "$work/hostile-names" && add "$out/hostile-drive.7z" good.txt C:evil.txt)
(cd "$work/hostile-names" && add "$out/hostile-device.7z" good.txt NUL.txt)

# Backslashes inside stored names are characters of the name, not separators, for 7-Zip:
# such entries stay inside the target.
mkdir -p "$work/backslash"
printf 'one\r\n' >"$work/backslash/\\server\share\evil.txt"
printf 'two\r\n' >"$work/backslash/a\..\..\evil.txt"
(cd "$work/backslash" && add "$out/backslash-names.7z" .)

rm -rf "$work"
