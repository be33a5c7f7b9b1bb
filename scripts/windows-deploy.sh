#!/usr/bin/env bash
# Puts the Windows programs into one folder that runs by itself on a Windows desk:
# the programs, the Qt DLLs and MinGW run-time DLLs they import (found by reading
# their import tables, recursively), the Qt plugins (windows platform, style, image
# formats, TLS), Qt's Italian translations and a qt.conf pointing Qt
# at that folder. There is no windeployqt for a cross build: this is its part we need.
#
#   scripts/windows-deploy.sh QT_PREFIX OUT_DIR PROGRAM.exe...
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: windows-deploy.sh QT_PREFIX OUT_DIR PROGRAM.exe..." >&2; exit 2; }
qt=$1
out=$2
shift 2
triplet=x86_64-w64-mingw32
objdump=$triplet-objdump
say() { echo "windows-deploy: $*"; }

# Where a DLL may come from: Qt, then the compiler's run-time (posix flavour).
gcc_dir=$(dirname "$($triplet-g++-posix -print-libgcc-file-name)")
search=("$qt/bin" "$gcc_dir" "/usr/$triplet/lib")

rm -rf "$out"
mkdir -p "$out"
for program in "$@"; do
  cp "$program" "$out/"
done

# Qt's plugins, in the layout Qt looks for beside the program (qt.conf: Plugins = .).
# (Printing on Windows is inside Qt6PrintSupport.dll: there is no print plugin.)
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll
         tls/qschannelbackend.dll tls/qcertonlybackend.dll
         imageformats/qgif.dll imageformats/qico.dll imageformats/qjpeg.dll)
for p in "${plugins[@]}"; do
  if [ -f "$qt/plugins/$p" ]; then
    mkdir -p "$out/$(dirname "$p")"
    cp "$qt/plugins/$p" "$out/$p"
  elif [ "$p" = platforms/qwindows.dll ] || [ "$p" = tls/qschannelbackend.dll ]; then
    echo "windows-deploy: $qt/plugins/$p missing" >&2
    exit 1
  fi
done

# The DLLs every program and plugin imports, and theirs in turn. A name found in none
# of the folders is Windows' own (KERNEL32.dll, USER32.dll, ...).
declare -A seen=()
queue=()
while IFS= read -r -d '' f; do queue+=("$f"); done < <(find "$out" -name '*.exe' -print0 -o -name '*.dll' -print0)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    key=${dll,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$out/$dll"
        queue+=("$out/$dll")
        break
      fi
    done
  done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done

# The toolkit's own texts in Italian (Debian's qt6-translations-l10n).
mkdir -p "$out/translations"
for qm in qtbase_it.qm qt_it.qm; do
  [ -f "/usr/share/qt6/translations/$qm" ] && cp "/usr/share/qt6/translations/$qm" "$out/translations/"
done
[ -f "$out/translations/qtbase_it.qm" ] || { echo "windows-deploy: qtbase_it.qm not found (qt6-translations-l10n)" >&2; exit 1; }

printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$out/qt.conf"
for needed in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libwinpthread-1.dll; do
  [ -f "$out/$needed" ] || { echo "windows-deploy: $needed not among the imports found" >&2; exit 1; }
done
say "$(find "$out" -type f | wc -l) files, $(du -sm "$out" | cut -f1) MB in $out"
