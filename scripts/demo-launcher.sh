#!/usr/bin/env bash
# The launcher demo, called by scripts/demo.sh with the build root: packs a Java application
# launcher with the packaging tool and runs it under Wine against the test double of a Java VM
# library (no Windows Java runtime exists here), printing the launcher's log (-D*) so that
# every step can be read, then what the VM received, and the exit codes of a few endings.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=$1
build=$BUILD_ROOT/win64
prefix=$build/wineprefix
demo=$build/demo-launcher

wine_run() { "$ROOT/scripts/wine-run" --prefix "$prefix" "$@"; }
say() { printf '\n== %s\n' "$*"; }
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

rm -rf "$demo"
mkdir -p "$demo/files" "$demo/jre/bin/client"
# The private runtime beside the launcher: the test double of jvm.dll.
cp "$build/tests/launcher/jvm_double/jvm.dll" "$demo/jre/bin/client/jvm.dll"
record=$demo/vm-record.txt

# Builds DemoApp.exe whose boot class script (read by the test double) is $1.
pack() {
    printf 'mx=256\njars=demoapp.jar;\nminver=1.4.1\njvm=jre\\bin\\client\\jvm.dll\njop=-Ddemo.mode=1 "-Ddemo.greeting=hello world"\nwindowed=yes\nexecwd=*\nmain=demo.Main\n' \
        >"$demo/files/settings.txt"
    printf 'the application archive\n' >"$demo/files/demoapp.jar"
    printf 'tolvimerboot\nrecord=%s\n%s' "$(windows_path "$record")" "$1" \
        >"$demo/files/tolvimerboot.class"
    "$BUILD_ROOT/host/tools/pantrix_pack/pantrix-pack" --launcher "$build/launcher/Pantrix.exe" \
        --out "$demo/DemoApp.exe" --app-name "Demo App" --exe-name DemoApp.exe \
        --settings "$demo/files/settings.txt" \
        --add "F:demoapp.jar=$demo/files/demoapp.jar" \
        --add "F:tolvimerboot.class=$demo/files/tolvimerboot.class"
}

# Runs the launcher with the given arguments; prints its output and exit code, and whether
# the clean-up copy removed the temporary folder.
run() {
    rm -f "$record"
    local code=0 output
    output=$(cd "$demo" && wine_run "$demo/DemoApp.exe" "$@" 2>&1) || code=$?
    printf '%s\n' "$output" | tr -d '\r' | sed 's/^/  /'
    echo "  exit code $code"
    local folder unix
    folder=$(printf '%s\n' "$output" | tr -d '\r' | sed -n 's/^!temp\.folder=\(.*\) \[[0-9-]*\]$/\1/p')
    [ -n "$folder" ] || return 0
    unix=$(wine_run winepath -u "$folder" 2>/dev/null)
    for _ in $(seq 50); do [ -e "$unix" ] || break; sleep 0.1; done
    if [ -e "$unix" ]; then echo "  temporary folder $folder is still there"; else
        echo "  temporary folder $folder removed by the clean-up copy"; fi
}

say "Packing $demo/DemoApp.exe (settings, demoapp.jar, the boot class of the test VM)"
pack ""
ls -l "$demo/DemoApp.exe"

say "DemoApp.exe -D* first \"second arg\": the application starts and ends normally"
run -D* first "second arg"
say "What the VM received (the test double's record)"
tr -d '\r' <"$record" | sed 's/^/  /'

say "The boot class returns a message (quiet: no box, the number is the exit code)"
pack "boot=return 57: the demo application refuses to start"
run -Q*
say "The application calls for exit with status 3 (the VM's exit hook)"
pack "boot=exit 3"
run -D* -Q*
