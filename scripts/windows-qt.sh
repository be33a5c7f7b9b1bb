#!/usr/bin/env bash
# Builds Qt 6 base for 64-bit Windows with MinGW-w64 from Debian's own source package
# and installs it into a fixed folder outside the repository (default
# /opt/accise/qt6-mingw), reused by every later build. Does nothing when that folder
# already holds a complete install (its stamp file). Run as root on Debian 12.
#
#   bash scripts/windows-qt.sh [PREFIX]     (env: ACCISE_QT_WORK, the source/build folder)
#
# The Qt host tools (moc, rcc, uic) are those of the installed Debian Qt 6
# (QT_HOST_PATH=/usr), so the source package must be the same version as
# qt6-base-dev-tools. About 20 minutes on 2 cores.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
prefix=${1:-/opt/accise/qt6-mingw}
work=${ACCISE_QT_WORK:-/opt/accise/src}
stamp="$prefix/accise-qt-complete"
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

say() { echo "windows-qt: $*"; }

if [ -f "$stamp" ]; then
  say "Qt for Windows already installed in $prefix ($(head -n 1 "$stamp"))"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "windows-qt: run as root (it installs packages and writes $prefix)" >&2
  exit 1
fi

# --- Packages -----------------------------------------------------------------
export DEBIAN_FRONTEND=noninteractive
packages=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# --- The source package, of the same version as the host tools -----------------
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
upstream=${host_version%%+*}
upstream=${upstream%%-*}
mkdir -p "$work"
src=$(find "$work" -maxdepth 1 -type d -name "qt6-base-$upstream*" | head -n 1)
if [ -z "$src" ] || [ ! -f "$src/CMakeLists.txt" ]; then
  if ! grep -Eqs '^(Types: *deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*; then
    # A deb-src entry for the same suite and mirror as the binary packages.
    list=/etc/apt/sources.list.d/accise-deb-src.sources
    say "adding $list"
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    cat >"$list" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq
  fi
  say "fetching the source package qt6-base=$host_version"
  (cd "$work" && apt-get source -qq --download-only "qt6-base=$host_version" &&
     dpkg-source --no-check -x qt6-base_*.dsc >/dev/null)
  src=$(find "$work" -maxdepth 1 -type d -name "qt6-base-$upstream*" | head -n 1)
fi
[ -n "$src" ] && [ -f "$src/CMakeLists.txt" ] || { echo "windows-qt: no Qt source in $work" >&2; exit 1; }

# --- The toolchain, copied beside the install so that the install does not point
# into a worktree that may go away -------------------------------------------------
mkdir -p "$prefix/accise-toolchain"
cp "$source_dir/cmake/mingw-w64.cmake" "$source_dir/cmake/mingw-w64-qt.cmake" "$prefix/accise-toolchain/"
toolchain="$prefix/accise-toolchain/mingw-w64-qt.cmake"
launcher=()
if [ -n "${CCACHE_DIR:-}" ] && command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# An interrupted build is taken up where it stopped: the build folder is kept.
build="$work/qtbase-build"
say "configuring Qt $upstream for Windows into $prefix"
start=$(date +%s)
# tabletevent: Debian's source leaves out the Wintab header the Windows plugin uses.
# OpenGL stays on (dynamic): the 6.4 Windows plugin does not compile without it.
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_openssl=OFF -DFEATURE_concurrent=OFF \
  -DFEATURE_schannel=ON -DFEATURE_tabletevent=OFF  \
  -DINPUT_opengl=dynamic \
  "${launcher[@]}" >"$work/qtbase-configure.log" 2>&1 ||
  { tail -n 40 "$work/qtbase-configure.log" >&2; echo "windows-qt: configure failed (log: $work/qtbase-configure.log)" >&2; exit 1; }
say "configured in $(( $(date +%s) - start )) s; building with $jobs jobs"
cmake --build "$build" -j "$jobs" >"$work/qtbase-build.log" 2>&1 ||
  { grep -E 'error|Error' "$work/qtbase-build.log" | head -n 20 >&2; echo "windows-qt: build failed (log: $work/qtbase-build.log)" >&2; exit 1; }
cmake --install "$build" >"$work/qtbase-install.log" 2>&1
for f in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6PrintSupport.dll bin/Qt6Network.dll \
         bin/Qt6Test.dll plugins/platforms/qwindows.dll plugins/tls/qschannelbackend.dll \
         bin/qt-cmake; do
  [ -e "$prefix/$f" ] || { echo "windows-qt: $prefix/$f missing after the install" >&2; exit 1; }
done
echo "Qt $upstream ($host_version) for x86_64-w64-mingw32, built in $(( $(date +%s) - start )) s on $(date -u +%F)" >"$stamp"
say "$(cat "$stamp")"
