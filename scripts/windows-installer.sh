#!/usr/bin/env bash
# Makes the Windows installer AcciseBirra-<version>-setup.exe with NSIS (Debian: nsis)
# from the folder scripts/windows-deploy.sh filled; the version is the build's
# (windows-version.nsh, written by CMake).
#
#   scripts/windows-installer.sh PROGRAM_DIR VERSION_NSH OUT_DIR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: windows-installer.sh PROGRAM_DIR VERSION_NSH OUT_DIR" >&2; exit 2; }
cd "$(dirname "$0")/.."
nsi=$PWD/packaging/windows/accise-birra.nsi
program=$(cd "$1" && pwd)
version_nsh=$2
mkdir -p "$3"
out=$(cd "$3" && pwd)
command -v makensis >/dev/null || { echo "windows-installer: makensis is missing (Debian: nsis)" >&2; exit 2; }
version=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "$version_nsh")
version4=$(sed -n 's/^!define VERSION4 "\(.*\)"$/\1/p' "$version_nsh")
[ -n "$version" ] && [ -n "$version4" ] || { echo "windows-installer: no version in $version_nsh" >&2; exit 1; }

# The lists of what the installer puts down and the uninstaller takes away.
lists="$out/nsis-lists"
rm -rf "$lists"
mkdir -p "$lists"
(
  cd "$program"
  find . -mindepth 1 -type d | sort | while read -r d; do
    d=${d#./}
    echo "SetOutPath \"\$INSTDIR\\${d//\//\\}\""
    find "$d" -maxdepth 1 -type f | sort | while read -r f; do echo "File \"$program/$f\""; done
  done
  echo "SetOutPath \"\$INSTDIR\""
  find . -maxdepth 1 -type f | sort | while read -r f; do echo "File \"$program/${f#./}\""; done
) >"$lists/install-files.nsh"
(
  cd "$program"
  find . -type f | sort | while read -r f; do f=${f#./}; echo "Delete \"\$INSTDIR\\${f//\//\\}\""; done
  find . -mindepth 1 -type d | sort -r | while read -r d; do d=${d#./}; echo "RMDir \"\$INSTDIR\\${d//\//\\}\""; done
) >"$lists/uninstall-files.nsh"

setup="$out/AcciseBirra-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" \
  -DFILES="$lists" -DOUTFILE="$setup" "$nsi"
echo "windows-installer: $setup ($(du -m "$setup" | cut -f1) MB)"
