#!/usr/bin/env bash
# Drives the desktop application as a clerk does, with the keyboard only, on a
# virtual X display: opens "Inserisce movimento" from the menus, types a raw-material
# load and confirms it, types a sale of bulk beer under a DAS (its reason from the list
# F4 opens) and confirms it, then types an unload larger than the stock, reads the
# message, and presses Esc on the typed values (the question, answered No). Saves a
# picture after each step and checks that the load and the sale are in the register
# file. Needs Xvfb, xdotool and ImageMagick's import (Debian: xvfb, xdotool,
# imagemagick).
#   scripts/keyboard-drive.sh [OUTPUT_FOLDER]   (default: build/keyboard-drive)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="${1:-$root/build/keyboard-drive}"
app="$root/build/src/app/accise-birra"
cli="$root/build/src/tools/accise-cli"
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "keyboard-drive: $tool is missing" >&2; exit 2; }
done
[ -x "$app" ] && [ -x "$cli" ] || { echo "keyboard-drive: build the application first" >&2; exit 2; }

rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
"$cli" demo "$work/demo" >/dev/null
export DISPLAY=:${KEYBOARD_DRIVE_DISPLAY:-77}
Xvfb "$DISPLAY" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app_pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
(cd "$work/demo" && exec "$app") >"$out/app.log" 2>&1 &
app_pid=$!
sleep 3
year=$(( $(date +%Y) - 1 ))   # the demo's books are last year's

shot() { import -window root "$out/$1.png"; }
key() { xdotool key --delay 60 "$@"; sleep 0.4; }
type() { xdotool type --delay 40 "$1"; sleep 0.3; }
field() { type "$1"; key Return; }

# Without a window manager nothing has the keyboard yet: give it to the main window.
main=$(xdotool search --name "Servizio Telematico Accise" | head -1)
xdotool mousemove 640 400 windowfocus "$main"
sleep 0.5
key ctrl+Tab       # the "Registro" page
key alt+c          # "&Carichi e scarichi"
key i              # "&Inserisce movimento"
sleep 1
shot 01-finestra

# A load of malt bought from a supplier.
field C; field "1512$year"; field DDT; field "1412$year"; field "DDT 99/$year"
key Return         # no company product code
field M00011071099000000; field S; field 105; field 1200
key Return; key Return   # tax position and country as proposed
field IT00MIA00777M; field "prova da tastiera"
shot 02-carico
key Return         # the cursor is on "CONFERMA"
sleep 1
shot 03-dopo-conferma

# A sale of bulk beer released for consumption under a DAS. The company product fills
# the product, bulk and Plato degree; F4 on the reason opens its list (closed with Esc,
# nothing chosen) before the reason is typed.
field S; key ctrl+a; field "2812$year"; field DAS; key ctrl+a; field "2812$year"; field "DAS 77"
field BIONDAFUSTO
key Return; key Return; key Return   # product, bulk and Plato degree as the company product says
key F4
sleep 1
shot 04-elenco-causali
key Escape
sleep 0.5
field 071; field 100
field 001          # tax position: the excise is computed, the cursor on it
key Return         # the excise as computed
key Return         # the country as proposed
field IT00TOA00999Z; field "vendita da tastiera"
shot 05-vendita
key Return         # the cursor is on "CONFERMA"
sleep 1
shot 06-dopo-vendita

# An unload larger than the stock: the message, then the cursor back on the quantity.
field S; key ctrl+a; field "1612$year"; field VIA; key ctrl+a; field "1612$year"; field "COTTA 99"
key Return
field M00011071099000000; field S; field 030; field 999999
sleep 0.5
shot 07-messaggio-giacenza
key Return
sleep 0.5
shot 08-cursore-sulla-quantita
# Esc on typed values asks first; No (the default, Enter) keeps the window and its values.
key Escape
sleep 0.5
shot 09-abbandonare
key Return
sleep 0.5
shot 10-dati-tenuti

dump=$("$cli" dump "$work/demo/REGISTRI/$year.RGM")
for note in "prova da tastiera" "vendita da tastiera"; do
  if ! grep -q "\"ANNOTA\":\"$note\"" <<<"$dump"; then
    echo "keyboard-drive: the movement \"$note\" is NOT in the register file; pictures in $out" >&2
    exit 1
  fi
done
echo "keyboard-drive: the load and the sale typed are in the register file; pictures in $out"
