#!/usr/bin/env bash
# Cross-builds the core, accise-cli and core_tests for 64-bit Windows with MinGW-w64
# and runs them under Wine: core_tests.exe, then accise-cli.exe demo + check on a
# fresh folder. Installs the missing Debian packages first (as root).
#
#   bash scripts/windows-test.sh [BUILD_DIR]     (default: build-windows)
#
# No display is needed: both programs are console programs. Wine keeps its own
# prefix (its C: drive) inside the build folder, so C:\TEMP_BIRRA lands there too.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=${1:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)
jobs=$(nproc)

say() { echo "windows-test: $*"; }

# --- Packages -----------------------------------------------------------------
packages=(cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "windows-test: missing packages (${missing[*]}): run this script as root" >&2
    exit 1
  fi
  say "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

toolchain="$source_dir/cmake/mingw-w64.cmake"
launcher=()
# The compiler cache is used when the caller has one; the build does not need it.
if [ -n "${CCACHE_DIR:-}" ] && command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# --- GoogleTest, from Debian's sources, with the same compiler ---------------------
gtest_prefix="$build/googletest-install"
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  say "building GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix" \
    -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON "${launcher[@]}" >/dev/null
  cmake --build "$build/googletest" -j "$jobs" >/dev/null
  cmake --install "$build/googletest" >/dev/null
fi

# --- The core, the command-line tool and the core tests ---------------------------
say "building accise-cli.exe and core_tests.exe"
cmake -S "$source_dir" -B "$build/accise" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DACCISE_BUILD_GUI=OFF -DACCISE_BUILD_TESTS=ON \
  -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" "${launcher[@]}" >/dev/null
cmake --build "$build/accise" -j "$jobs" --target accise-cli core_tests

cli="$build/accise/src/tools/accise-cli.exe"
tests="$build/accise/tests/core_tests.exe"

# --- Under Wine -------------------------------------------------------------------
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
wine=$(command -v wine || command -v wine64)
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  say "creating the Wine prefix"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi

say "core_tests.exe under Wine"
"$wine" "$tests" 2>&1 | tr -d '\r' | tee "$build/core_tests.log"
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\./\1/p' "$build/core_tests.log" | tail -n 1)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:/\1/p' "$build/core_tests.log" | tail -n 1)

say "accise-cli.exe demo + check under Wine"
work="$build/run"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# Once in a plain folder, once in a folder whose name has an accented letter.
for folder in "dati-demo" "contabilità"; do
  "$wine" "$cli" demo "$folder"
  "$wine" "$cli" check "$folder"
  test -s "$folder/REGISTRI/GIACENZE.DAT"
done
# The files the Windows program wrote are the same files for the Linux one.
if [ -n "${ACCISE_NATIVE_CLI:-}" ]; then
  say "native accise-cli check of the folder written under Wine"
  "$ACCISE_NATIVE_CLI" check "dati-demo"
fi

say "PASSED under Wine: core_tests.exe (${passed:-?} tests passed, ${skipped:-0} skipped), accise-cli.exe demo and check"
