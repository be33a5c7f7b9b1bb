#!/usr/bin/env bash
# Drives the desktop application as a clerk does, with the keyboard only, on a
# virtual X display: pictures the main window's page "Dove sono i registri", opens
# "Inserisce movimento" from the menus, types a raw-material load and confirms it,
# types a sale of bulk beer under a DAS (its reason from the list F4 opens) and
# confirms it, then types an unload larger than the stock, reads the message, and
# presses Esc on the typed values (the question, answered No, then Yes). Back on the
# page, whose figures changed, the arrows choose the bulk register's line and Enter
# opens its print window (Esc back). Then "Crea, firma ed invia il flusso per la
# dogana" from the menus creates the flow of last year's unsent records without
# signing it. Saves a picture after each step and checks with accise-cli that the load
# and the sale are in the register file, marked with the flow's number, that the flow
# file is in the folder of files to sign and that the books audit finds nothing. Needs
# Xvfb, xdotool and ImageMagick's import and compare (Debian: xvfb, xdotool,
# imagemagick).
#   scripts/keyboard-drive.sh [OUTPUT_FOLDER]   (default: build/keyboard-drive)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="${1:-$root/build/keyboard-drive}"
app="$root/build/src/app/accise-birra"
cli="$root/build/src/tools/accise-cli"
for tool in Xvfb xdotool import compare; do
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
# The page "Dove sono i registri" alone (without the menus and the status bar, which
# differ from page to page and after a save), to compare one showing with another.
page() { import -window "$main" -crop 640x510+0+50 +repage "$out/$1.png"; }
key() { xdotool key --delay 60 "$@"; sleep 0.4; }
type() { xdotool type --delay 40 "$1"; sleep 0.3; }
field() { type "$1"; key Return; }

# Without a window manager nothing has the keyboard yet: give it to the main window
# (and again whenever a window closes: no window manager hands it back).
main=$(xdotool search --name "Servizio Telematico Accise" | head -1)
refocus() { xdotool windowfocus "$main"; sleep 0.5; }
xdotool mousemove 640 400
refocus
# The program's message boxes carry its name as the main window does: more windows of
# that name than now means a message is showing.
titled() { xdotool search --onlyvisible --name "Servizio Telematico Accise" 2>/dev/null | wc -l; }
alone=$(titled)
# Enter on every message showing, one after the other; prints how many.
dismiss() {
  local n=0
  while [ "$(titled)" -gt "$alone" ] && [ "$n" -lt 1000 ]; do xdotool key Return; sleep 0.15; n=$((n + 1)); done
  echo "$n"
}
# The page "Dove sono i registri" as the program opens: the stock and last movement of
# every register, the excise of the period, the unsent records, the last flow.
shot 00-dove-sono-i-registri
page pagina-prima
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

# Esc again, Yes this time (Shift+Tab from the default No): the window closes unsaved
# and the page is computed again, with the load and the sale in its stocks.
key Escape
sleep 0.5
key shift+Tab; key space
sleep 1
refocus
shot 11-dove-sono-i-registri-dopo-vendita
page pagina-dopo-vendita
if compare -metric AE "$out/pagina-prima.png" "$out/pagina-dopo-vendita.png" null: 2>/dev/null; then
  echo "keyboard-drive: the page \"Dove sono i registri\" did not change after the sale; pictures in $out" >&2
  exit 1
fi
# The arrows choose a line (the bulk beer register's, the third), Enter opens the window
# that acts on it (the register's print), Esc comes back to the page.
key Down; key Down
shot 12-riga-scelta
key Return
sleep 1
shot 13-stampa-del-registro
key Escape
sleep 0.5
refocus
shot 14-di-nuovo-sulla-pagina

# The flow of last year's unsent records: "&Flussi telematici", "&Crea, firma ed invia
# il flusso per la dogana". The cursor starts on the flow's date; the year is two
# fields back (the list between), and leaving it lists that year's unsent records,
# every one ticked, after a message for every day of sales under a DAS without a
# guarantee (the demo keeps no guarantees): Enter on each, their number saved.
key alt+f
key c
sleep 1.5
shot 15-crea-flusso
key shift+Tab; key shift+Tab
key ctrl+a; type "$year"; key Tab
sleep 1
shot 16-flusso-messaggio
messages=$(dismiss)
echo "$messages" >"$out/messaggi-garanzia.txt"
shot 17-flusso-elenco
key Tab            # the flow's date, today's
key Return         # leaving it proposes the flow's number
key Return         # the number as proposed
key space          # "Esegue Firma e Verifica" off: the flow is only created
shot 18-flusso-pronto
key alt+c
sleep 1.5
shot 19-flusso-creato
dismiss >/dev/null # the message naming the flow and its folder (and any before it)
refocus
shot 20-dove-sono-i-registri-dopo-flusso

# The records carry the flow's number and day, the flow file is where the page of
# paths says, and the books audit agrees.
dump=$("$cli" dump "$work/demo/REGISTRI/$year.RGM")
for note in "prova da tastiera" "vendita da tastiera"; do
  if ! grep "\"ANNOTA\":\"$note\"" <<<"$dump" | grep -q '"NUMFLU":[1-9]'; then
    echo "keyboard-drive: the movement \"$note\" is NOT marked with a flow; pictures in $out" >&2
    exit 1
  fi
done
number=$(grep '"ANNOTA":"vendita da tastiera"' <<<"$dump" | sed -n 's/.*"NUMFLU":\([0-9]*\).*/\1/p')
tosign=$("$cli" paths "$work/demo" | sed -n 's/^file da firmare: //p')
flow=$(cd "$work/demo/$tosign" && ls -t | grep -E "\.C$(printf %02d "$number")\$" | head -1 || true)
if [ -z "$flow" ]; then
  echo "keyboard-drive: no flow file numbered $number in $tosign; pictures in $out" >&2
  exit 1
fi
if ! "$cli" check "$work/demo" >"$out/controllo.txt"; then
  echo "keyboard-drive: the books audit found problems after the flow (see $out/controllo.txt)" >&2
  exit 1
fi
echo "keyboard-drive: the load and the sale typed are in the register file, in the flow $flow (number $number); pictures in $out"
