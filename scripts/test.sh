#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native build
# first, then the Windows build under Wine (scripts/windows-test.sh): Qt for Windows
# built once into /opt/accise/qt6-mingw, the desktop program, accise-cli, their tests,
# a keyboard drive of the program and its installer. ACCISE_WINDOWS_GUI=0 leaves the
# desktop program out of the Windows step.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
ctest --preset default -j 2
echo "test: native tests passed"

ACCISE_NATIVE_CLI="$PWD/build/src/tools/accise-cli" bash scripts/windows-test.sh build-windows
