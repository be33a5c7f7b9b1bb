#!/usr/bin/env bash
# Installs what is missing, builds, prepares a demo data folder and starts the
# desktop application on it (working folder = the demo folder).
#
# For a complete round on one machine it also starts the agency simulator in the
# background (stopped when the application closes) and points the demo at it and
# at the test signing program: create a flow, sign it with accise-firma (TEST
# signature), send it to the simulator and read its outcome.
#   DEMO_DIR   where the demo folder goes (default: ./demo-data)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target accise-cli accise-birra accise-firma accise-agency-sim

demo="${DEMO_DIR:-$root/demo-data}"
cli="$root/build/src/tools/accise-cli"
if [ ! -f "$demo/DATI_GEN/UTENTE.001" ]; then
  "$cli" demo "$demo"
fi

# The signing program of the demo configuration: the test signing program.
firma="$root/build/src/tools/accise-firma"
if [ -x "$firma" ]; then
  "$cli" paths "$demo" --signing-program "$firma" >/dev/null
fi

# The agency simulator on a free port of this machine; the demo's service settings
# point at it and trust the authority it writes.
sim="$root/build/src/tools/accise-agency-sim"
sim_pid=""
stop_simulator() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
}
trap stop_simulator EXIT
if [ -x "$sim" ]; then
  ca="$demo/DATI_GEN/SIMULATORE-CA.pem"
  ready="$demo/SIMULATORE/avvio.txt"
  mkdir -p "$demo/SIMULATORE"
  rm -f "$ready"
  "$sim" --port 0 --ca-out "$ca" --store "$demo/SIMULATORE" >"$ready" 2>"$demo/SIMULATORE/simulatore.log" &
  sim_pid=$!
  port=""
  for _ in $(seq 1 300); do  # up to 30 s: making the keys is slow on a busy machine
    port=$(sed -n 's/^listening on \([0-9]*\)$/\1/p' "$ready" 2>/dev/null || true)
    [ -n "$port" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$port" ]; then
    echo "The agency simulator did not start: see $demo/SIMULATORE/simulatore.log" >&2
    exit 1
  fi
  printf '%s\r\n' \
    "; Servizio telematico della demo: il simulatore locale avviato da scripts/run.sh, per l'ambiente di prova." \
    "; L'ambiente reale non e' impostato: nella demo un invio reale e' rifiutato." \
    "HOST_PROVA=localhost" "PORTA_PROVA=$port" \
    "NAMESPACE=urn:accise-birra:simulatore" "CA_AGGIUNTIVA=$ca" "TIMEOUT_SECONDI=60" \
    >"$demo/DATI_GEN/SERVIZIO.INI"
  echo "Agency simulator listening on https://localhost:$port (files and outcomes in $demo/SIMULATORE)"
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
"$app"
