#!/usr/bin/env bash
# The demo, called by ./dev demo with the build root: builds the example setup of
# examples/setup and runs it under Wine as a user would. Each demo is one step at the end of
# this file.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=$1
build=$BUILD_ROOT/win64
artifacts=$build/artifacts
prefix=$build/wineprefix
mkdir -p "$artifacts"
export QOR_ARTIFACTS="Z:$(echo "$artifacts" | tr / '\\')" QOR_ARTIFACTS_UNIX=$artifacts

wine_run() { "$ROOT/scripts/wine-run" --prefix "$prefix" "$@"; }
say() { printf '\n== %s\n' "$*"; }

example=$ROOT/examples/setup
setup=$build/demo/setup  # the built setup folder
program=$setup/DemoSetup.exe

# The setup folder: the engine with the compiled script, qor.dll, the resource archive with the
# plug-in library, the installer package and a splash picture. The archive also carries 20 MB
# of data, so that extracting it keeps the start-up windows up long enough to be photographed.
build_example_setup() {
    say "Building the example setup in $setup"
    rm -rf "$build/demo"
    mkdir -p "$setup" "$build/demo/resources"
    "$BUILD_ROOT/host/tools/script_compiler/qorscript" "$example/DemoSetup.listing" \
        "$build/engine/session/qorstub.exe" "$program"
    cp "$build/engine/session/qor.dll" "$setup/"
    cp -r "$example/resources/." "$build/demo/resources/"
    cp "$build/examples/record.dll" "$build/demo/resources/"
    head -c $((20 * 1024 * 1024)) /dev/urandom >"$build/demo/resources/media.bin"
    (cd "$build/demo/resources" && 7zz a -bd -bso0 -bsp0 -mx=1 "$setup/DemoSetup.res" .)
    wixl -o "$setup/DemoSetup.msi" "$example/DemoSetup.wxs"
    convert -size 400x240 gradient:'#1d4f7c'-'#9cc3e6' -fill '#f4f4f4' \
        -draw 'rectangle 24,24 376,72' -fill '#e08a1e' -draw 'circle 200,160 200,200' \
        "BMP3:$setup/setup.bmp"
    ls -l "$setup"
}

# The recorded values of a run, and whether its support folder is gone.
show_record() {
    local record=$setup/record.txt
    [ -f "$record" ] || { echo "no record.txt: the script did not reach its last statement"; return; }
    grep -E '^(TOTAL_BYTES|TOTAL_KB|TARGETDIR|INSTALL_DRIVE|INSTALL_NAME|SHOUTED_TITLE|VERSION_MAJOR|VERSION_REST|GREETING|RAN_SILENT|CMDLINE|SUPPORTDIR|MSIFILE)=' \
        "$record" | tr -d '\r' | sed 's/^/  /'
    local support
    support=$(grep '^SUPPORTDIR=' "$record" | tr -d '\r' | cut -d= -f2-)
    if [ -n "$support" ] && [ -e "$(wine_run winepath -u "$support" 2>/dev/null)" ]; then
        echo "  support folder $support is still there"
    else
        echo "  support folder $support removed at the end"
    fi
}

run_silent() {
    say "Silent run: DemoSetup.exe /s TARGETDIR=D:\\Apps\\QorDemo\\"
    rm -f "$setup/record.txt"
    local code=0
    (cd "$setup" && wine_run "$program" /s 'TARGETDIR=D:\Apps\QorDemo\') || code=$?
    echo "exit code $code"
    show_record
}

run_with_windows() {
    say "Run with windows under Xvfb: DemoSetup.exe"
    rm -f "$setup/record.txt"
    local code=0
    (cd "$setup" && "$ROOT/scripts/with-xvfb" "$ROOT/scripts/wine-run" --prefix "$prefix" \
        "$build/tests/support/desktop_run.exe" "$build/tests/session/startup_shot.exe" \
        demo_startup_windows "$program") || code=$?
    echo "exit code $code"
    show_record
    echo "screenshot of the splash and preparation windows: $artifacts/demo_startup_windows.png"
}

build_example_setup
run_silent
run_with_windows
"$ROOT/scripts/demo-launcher.sh" "$BUILD_ROOT"
