#!/usr/bin/env bash
# Start-up of a launcher up to the choice of its VM, under Wine: builds a launcher of the
# shipped size (settings, three archives, one more file, a Java installer; about 1.8 MB) with
# pantrix-pack, runs it RUNS times with the log on and the test double of the VM library named
# on the command line, and prints the launcher's own time stamp at "jvm=" (milliseconds since
# its start) and the whole run's wall time (through the boot call to the exit) for each run.
#   bench/launcher/startup_bench.sh BUILD_ROOT [RUNS]
# BUILD_ROOT holds the host build (for pantrix-pack) and the win64 build (Pantrix.exe and
# its Wine prefix).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_ROOT=$1
RUNS=${2:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c 300000 /dev/urandom >"$work/app.jar"
printf 'tolvimerboot\n' >"$work/tolvimerboot.class"
vm="Z:$(printf '%s' "$BUILD_ROOT/win64/tests/launcher/jvm_double/jvm.dll" | tr / '\\')"
printf 'mx=256\njars=activation.jar;mail.jar;app.jar;\nminver=1.4.1\nwindowed=yes\nexecwd=*\n' \
    >"$work/settings.txt"
"$BUILD_ROOT/host/tools/pantrix_pack/pantrix-pack" \
    --launcher "$BUILD_ROOT/win64/launcher/Pantrix.exe" --out "$work/Bench.exe" \
    --app-name "Bench App" --exe-name Bench.exe --settings "$work/settings.txt" \
    --add F:activation.jar="$work/app.jar" --add F:mail.jar="$work/app.jar" \
    --add F:app.jar="$work/app.jar" --add B:lib/extra.jar="$work/app.jar" \
    --add J:java/setup.exe="$work/app.jar" --add F:tolvimerboot.class="$work/tolvimerboot.class"
ls -l "$work/Bench.exe"

for _ in $(seq "$RUNS"); do
    start=$(date +%s%N)
    log=$("$ROOT/scripts/wine-run" --prefix "$BUILD_ROOT/win64/wineprefix" "$work/Bench.exe" \
        '-D*' '-Q*' "-jvm:$vm" | tr -d '\r')
    end=$(date +%s%N)
    jvm_ms=$(printf '%s\n' "$log" | sed -n 's/^!jvm=.* \[\(-\?[0-9]*\)\]$/\1/p')
    printf 'to jvm=: %s ms   whole run: %d ms\n' "$jvm_ms" $(((end - start) / 1000000))
done
