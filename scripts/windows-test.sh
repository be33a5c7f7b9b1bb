#!/usr/bin/env bash
# Cross-builds the programs for 64-bit Windows with MinGW-w64 and proves them under
# Wine. Installs the missing Debian packages first (as root).
#
#   bash scripts/windows-test.sh [BUILD_DIR]     (default: build-windows)
#
# The desktop program (the default, ACCISE_WINDOWS_GUI=1):
#   - Qt 6 base for Windows is built from Debian's source package into
#     ACCISE_QT_MINGW (default /opt/accise/qt6-mingw) unless it is there already
#     (scripts/windows-qt.sh, about 25 minutes on 2 cores the first time);
#   - accise-birra.exe, accise-cli.exe, core_tests.exe and widget_tests.exe are built
#     against it; the program folder (scripts/windows-deploy.sh) and the installer
#     AcciseBirra-<version>-setup.exe (scripts/windows-installer.sh) are made;
#   - under Wine: core_tests.exe; accise-cli.exe demo + check; widget_tests.exe on
#     the offscreen platform; accise-birra.exe on a virtual X display with one movement
#     typed by keyboard (scripts/windows-drive.sh); the installer run silently, the
#     installed program started once, the uninstaller run.
# ACCISE_WINDOWS_GUI=0: the core, accise-cli and core_tests only, without Qt, with
# the C++ run-time linked in (no DLL beside the programs).
#
# Wine keeps its own prefix (its C: drive) inside the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=${1:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)
jobs=$(nproc)
gui=${ACCISE_WINDOWS_GUI:-1}
qt=${ACCISE_QT_MINGW:-/opt/accise/qt6-mingw}
started=$(date +%s)

say() { echo "windows-test: $*"; }
fail() { echo "windows-test: FAILED: $*" >&2; exit 1; }
elapsed() { echo "$(( $(date +%s) - started )) s"; }

# --- Packages -----------------------------------------------------------------
packages=(cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest)
if [ "$gui" = 1 ]; then
  packages+=(ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools qt6-translations-l10n nsis
             xvfb xdotool imagemagick)
fi
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

launcher=()
# The compiler cache is used when the caller has one; the build does not need it.
if [ -n "${CCACHE_DIR:-}" ] && command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# --- GoogleTest, from Debian's sources, with the same compiler ---------------------
# A static library: the same for the programs with and without the run-time DLLs.
gtest_prefix="$build/googletest-install"
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  say "building GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix" \
    -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON "${launcher[@]}" >/dev/null
  cmake --build "$build/googletest" -j "$jobs" >/dev/null
  cmake --install "$build/googletest" >/dev/null
fi

if [ "$gui" = 1 ]; then
  # --- Qt for Windows, then every program against it --------------------------------
  bash "$source_dir/scripts/windows-qt.sh" "$qt" || fail "the Qt build for Windows (scripts/windows-qt.sh)"
  say "building accise-birra.exe, accise-cli.exe, core_tests.exe and widget_tests.exe ($(elapsed))"
  # Qt's toolchain file finds Qt and chain-loads ours (the run-time as DLLs, shared
  # with Qt's own).
  cmake -S "$source_dir" -B "$build/accise-qt" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-qt.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DACCISE_BUILD_GUI=ON -DACCISE_BUILD_TESTS=ON \
    -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" "${launcher[@]}" >"$build/accise-qt-configure.log" ||
    { tail -n 30 "$build/accise-qt-configure.log" >&2; fail "configuring the Windows build with Qt"; }
  cmake --build "$build/accise-qt" -j "$jobs" --target accise-birra accise-cli core_tests widget_tests
  bin="$build/accise-qt"
  program="$build/AcciseBirra"
  bash "$source_dir/scripts/windows-deploy.sh" "$qt" "$program" \
    "$bin/src/app/accise-birra.exe" "$bin/src/tools/accise-cli.exe"
  bash "$source_dir/scripts/windows-installer.sh" "$program" "$bin/windows-version.nsh" "$build/installer"
  setup=$(ls "$build"/installer/AcciseBirra-*-setup.exe)
  cli="$program/accise-cli.exe"
  tests="$bin/tests/core_tests.exe"
else
  # --- The core, the command-line tool and the core tests, without Qt ---------------
  say "building accise-cli.exe and core_tests.exe"
  cmake -S "$source_dir" -B "$build/accise" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DACCISE_BUILD_GUI=OFF -DACCISE_BUILD_TESTS=ON \
    -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" "${launcher[@]}" >/dev/null
  cmake --build "$build/accise" -j "$jobs" --target accise-cli core_tests
  cli="$build/accise/src/tools/accise-cli.exe"
  tests="$build/accise/tests/core_tests.exe"
fi

# --- Under Wine -------------------------------------------------------------------
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
wine=$(command -v wine || command -v wine64)
wineserver=$(command -v wineserver || ls /usr/lib/wine/wineserver* 2>/dev/null | head -n 1 || true)
# Every program of this prefix ended, or awaited.
stop_wine() { [ -z "$wineserver" ] || "$wineserver" -k 2>/dev/null || true; }
wait_wine() { [ -z "$wineserver" ] || timeout 60 "$wineserver" -w 2>/dev/null || true; }
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  say "creating the Wine prefix"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
if [ "$gui" = 1 ]; then
  # The test programs find the Qt and run-time DLLs in the program folder, Qt's
  # test library among Qt's own.
  export WINEPATH="Z:${program//\//\\};Z:${qt//\//\\}\\bin"
fi

say "core_tests.exe under Wine ($(elapsed))"
"$wine" "$tests" 2>&1 | tr -d '\r' | tee "$build/core_tests.log"
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\./\1/p' "$build/core_tests.log" | tail -n 1)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:/\1/p' "$build/core_tests.log" | tail -n 1)
[ -n "$passed" ] || fail "core_tests.exe"

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
steps="core_tests.exe (${passed} tests passed, ${skipped:-0} skipped), accise-cli.exe demo and check"

if [ "$gui" = 1 ]; then
  say "widget_tests.exe under Wine, offscreen platform ($(elapsed))"
  # Wine hands no QT_* variable to a Windows program: the tests choose the offscreen
  # platform themselves, and a qt.conf beside them points Qt at its plugins.
  printf '[Paths]\r\nPrefix = Z:%s\r\n' "$qt" >"$bin/tests/qt.conf"
  timeout 900 "$wine" "$bin/tests/widget_tests.exe" 2>&1 | tr -d '\r' | tee "$build/widget_tests.log" | grep -E '^\[  (PASSED|FAILED|SKIPPED) ' || true
  wpassed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\./\1/p' "$build/widget_tests.log" | tail -n 1)
  grep -q '^\[  FAILED  \]' "$build/widget_tests.log" && fail "widget_tests.exe (log: $build/widget_tests.log)"
  [ -n "$wpassed" ] || fail "widget_tests.exe did not finish (log: $build/widget_tests.log)"
  wskipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\{0,1\}, listed below:/\1/p' "$build/widget_tests.log" | tail -n 1)
  steps+=", widget_tests.exe (${wpassed} passed, ${wskipped:-0} skipped)"
  # Wine's desktop keeps the display it started with (none, so far): end it, so the
  # program below starts a desktop on the virtual display.
  stop_wine

  # One virtual display for the program and the installed program.
  Xvfb -displayfd 3 -screen 0 1280x900x24 3>"$build/display" >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 1 50); do [ -s "$build/display" ] && break; sleep 0.1; done
  [ -s "$build/display" ] || fail "Xvfb did not start"
  DISPLAY=:$(head -n 1 "$build/display")
  export DISPLAY

  say "accise-birra.exe under Wine, one movement typed ($(elapsed))"
  unset WINEPATH   # the program folder must be enough by itself
  bash "$source_dir/scripts/windows-drive.sh" "$program" "$build/drive" || fail "the keyboard drive of accise-birra.exe"
  stop_wine
  steps+=", accise-birra.exe with a movement typed"

  say "the installer, silently, then the installed program ($(elapsed))"
  data_win='C:\AcciseDati'
  data="$WINEPREFIX/drive_c/AcciseDati"
  installed="$WINEPREFIX/drive_c/Program Files/Accise Birra"
  rm -rf "$data" "$installed"
  timeout 300 "$wine" "$setup" /S "/DATI=$data_win" || fail "$(basename "$setup") /S"
  wait_wine
  [ -f "$installed/accise-birra.exe" ] || fail "no accise-birra.exe in Program Files after the installer"
  [ -f "$installed/platforms/qwindows.dll" ] || fail "no platforms/qwindows.dll in Program Files"
  lnk="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Accise Birra/Accise Birra.lnk"
  [ -f "$lnk" ] || fail "no start-menu entry"
  # The entry's working folder is the data folder (Unicode strings in the link).
  strings -e l "$lnk" >"$build/start-menu-entry.txt"
  grep -qx 'C:\\AcciseDati' "$build/start-menu-entry.txt" || fail "the start-menu entry's working folder is not $data_win"
  [ -d "$data" ] || fail "the installer did not create $data_win"
  (cd "$data" && exec "$wine" "$installed/accise-birra.exe") >"$build/installed.log" 2>&1 &
  app=$!
  window=
  for _ in $(seq 1 120); do
    window=$(xdotool search --onlyvisible --name "Servizio Telematico Accise" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || break
    sleep 1
  done
  [ -n "$window" ] || fail "the installed accise-birra.exe showed no window within 120 s"
  sleep 3
  import -window root "$build/installed.png"
  # It worked in the data folder: it created the folders and tables a new folder lacks.
  [ -d "$data/REGISTRI" ] || fail "the installed program did not set up its data folder"
  kill "$app" 2>/dev/null || true
  stop_wine

  say "the uninstaller, silently"
  timeout 120 "$wine" "$installed/uninstall.exe" /S || fail "uninstall.exe /S"
  # The uninstaller runs from a copy of itself in the temporary folder: wait for it.
  for _ in $(seq 1 60); do [ -e "$installed" ] || break; sleep 1; done
  [ ! -e "$installed" ] || fail "the program folder is still there after the uninstaller: $(find "$installed" | head)"
  [ ! -e "$(dirname "$lnk")" ] || fail "the start-menu entry is still there after the uninstaller"
  [ -d "$data/REGISTRI" ] || fail "the uninstaller removed the data folder"
  steps+=", $(basename "$setup") /S, the installed program started, uninstalled"
fi

[ "$gui" = 1 ] || steps+="; desktop program not built (ACCISE_WINDOWS_GUI=0)"
say "PASSED under Wine in $(elapsed): $steps"
