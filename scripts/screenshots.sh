#!/usr/bin/env bash
# Starts the desktop application under a virtual display and saves pictures (PNG)
# of the main window, its two pages and their menus, and of every window that the
# menus open (with the message boxes they show), so that anyone can look at them.
# The movement window is also saved with a load and an unload typed in, the brew
# window ("Cotta") with a brew typed in (Action45-cotta.png).
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]     (default: BUILD_DIR/screenshots)
#
# Three runs: OUTPUT/demo on the demo data folder (created with "accise-cli demo"
# when missing), OUTPUT/cartella-vuota on a fresh empty working folder (first start:
# the readiness messages), and OUTPUT/demo-alcopp with the windows that differ for a
# registered consignee (the excise summary by day), on a copy of the demo folder
# switched to that profile with "accise-cli profile".
#   BUILD_DIR  build folder (default: ./build-ui; one already configured keeps its build type)
#   DEMO_DIR   demo data folder (default: ./demo-data)
#   JOBS       parallel build jobs (default: number of processors)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="${BUILD_DIR:-$root/build-ui}"
demo="${DEMO_DIR:-$root/demo-data}"
out="${1:-$build/screenshots}"

if ! command -v xvfb-run >/dev/null || ! command -v xauth >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "screenshots: xvfb and xauth are missing: run as root or install them" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb xauth
fi

if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >/dev/null
else
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" -j "${JOBS:-$(nproc)}" --target accise-cli accise-birra
app="$build/src/app/accise-birra"

if [ ! -f "$demo/DATI_GEN/UTENTE.001" ]; then
  "$build/src/tools/accise-cli" demo "$demo" >/dev/null
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
empty=$(mktemp -d)
alcopp=$(mktemp -d)
trap 'rm -rf "$empty" "$alcopp"' EXIT

shoot() { # working folder, output folder
  rm -rf "$2"
  mkdir -p "$2"
  (cd "$1" && xvfb-run -a -s "-screen 0 1024x768x24" "$app" --screenshot-all "$2")
}
shoot "$demo" "$out/demo"
shoot "$empty" "$out/cartella-vuota"

# The registered consignee: the demo's data under the other profile. Only the excise
# summary's pictures are kept (ARECORDE*: "Riepilogo dell'accisa (record: E)");
# the other windows look as they do in OUTPUT/demo.
cp -a "$demo/." "$alcopp/work"
"$build/src/tools/accise-cli" profile "$alcopp/work" ALCOPP >/dev/null
shoot "$alcopp/work" "$alcopp/shots"
rm -rf "$out/demo-alcopp"
mkdir -p "$out/demo-alcopp"
cp "$alcopp/shots"/ARECORDE*.png "$out/demo-alcopp/"
echo "screenshots: $out"
