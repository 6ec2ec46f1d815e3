#!/usr/bin/env bash
# The demo: until the engine's program entry exists, it shows the GUI proof window under
# Xvfb and Wine and says where its screenshot is. Called by ./dev demo with the build root.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=$1
build=$BUILD_ROOT/win64
artifacts=$build/artifacts
mkdir -p "$artifacts"
export QOR_ARTIFACTS="Z:$(echo "$artifacts" | tr / '\\')" QOR_ARTIFACTS_UNIX=$artifacts
"$ROOT/scripts/with-xvfb" "$ROOT/scripts/wine-run" --prefix "$build/wineprefix" \
    "$build/tests/support/desktop_run.exe" "$build/tests/gui/gui_proof_test.exe"
echo "demo: window screenshot saved as $artifacts/gui_proof.png"
