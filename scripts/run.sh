#!/usr/bin/env bash
# Installs what is missing, builds, prepares a demo data folder and starts the
# desktop application on it (working folder = the demo folder).
#   DEMO_DIR   where the demo folder goes (default: ./demo-data)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target accise-cli accise-birra

demo="${DEMO_DIR:-$root/demo-data}"
if [ ! -f "$demo/DATI_GEN/UTENTE.001" ]; then
  "$root/build/src/tools/accise-cli" demo "$demo"
fi

app="$root/build/src/app/accise-birra"
if [ ! -x "$app" ]; then
  echo "The desktop application was not built (Qt 6 missing?). Demo data folder: $demo"
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: the application needs one (for example run it under xvfb-run). Demo data folder: $demo"
  exit 0
fi
cd "$demo"
exec "$app"
