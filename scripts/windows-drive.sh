#!/usr/bin/env bash
# Drives the Windows program under Wine as scripts/keyboard-drive.sh drives the native
# one, with the keyboard only, on a virtual X display: on a demo folder written by
# accise-cli.exe, opens "Inserisce movimento" from the menus, types a raw-material
# load and confirms it, saves a picture after each step, and checks with
# "accise-cli dump" that the load is in the register file.
#
#   scripts/windows-drive.sh PROGRAM_DIR OUTPUT_FOLDER
#
# PROGRAM_DIR holds accise-birra.exe and accise-cli.exe with their DLLs (as
# scripts/windows-deploy.sh leaves it). Uses WINEPREFIX; uses DISPLAY when it is set,
# else starts Xvfb itself. Needs wine, Xvfb, xdotool and ImageMagick's import.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: windows-drive.sh PROGRAM_DIR OUTPUT_FOLDER" >&2; exit 2; }
program=$(cd "$1" && pwd)
out=$2
for tool in wine Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "windows-drive: $tool is missing" >&2; exit 2; }
done
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
say() { echo "windows-drive: $*"; }
fail() { echo "windows-drive: $*; pictures and log in $out" >&2; exit 1; }

xvfb=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display and writes its number: other builds may have theirs.
  Xvfb -displayfd 3 -screen 0 1280x900x24 3>"$out/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 50); do [ -s "$out/display" ] && break; sleep 0.1; done
  [ -s "$out/display" ] || fail "Xvfb did not start"
  DISPLAY=:$(head -n 1 "$out/display")
  export DISPLAY
fi

cli() { wine "$program/accise-cli.exe" "$@" | tr -d '\r'; }
cd "$out"
cli demo demo >/dev/null
[ -s demo/REGISTRI/GIACENZE.DAT ] || fail "accise-cli.exe demo wrote no books"

(cd demo && exec wine "$program/accise-birra.exe") >"$out/app.log" 2>&1 &
app_pid=$!

# The main window, once Wine and Qt are up (the first start in a prefix is the slow one).
title="Servizio Telematico Accise"
main=
for _ in $(seq 1 120); do
  main=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) || true
  [ -n "$main" ] && break
  kill -0 "$app_pid" 2>/dev/null || fail "accise-birra.exe ended before showing its window (app.log: $(tail -n 5 "$out/app.log"))"
  sleep 1
done
[ -n "$main" ] || fail "no window \"$title\" within 120 s"
sleep 3
year=$(( $(date +%Y) - 1 ))   # the demo's books are last year's

shot() { import -window root "$out/$1.png"; }
key() { xdotool key --delay 60 "$@"; sleep 0.5; }
# Each character as a key of its own: Wine drops the characters "xdotool type" sends.
type() {
  local text=$1 i c keys=()
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    case $c in
      ' ') keys+=(space) ;;
      /) keys+=(slash) ;;
      .) keys+=(period) ;;
      [A-Z]) keys+=("shift+${c,,}") ;;
      *) keys+=("$c") ;;
    esac
  done
  xdotool key --delay 50 "${keys[@]}"
  sleep 0.4
}
field() { type "$1"; key Return; }

# Without a window manager nothing has the keyboard yet: give it to the main window.
xdotool mousemove 640 400 windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
sleep 1
shot 00-principale
key ctrl+Tab       # the "Registro" page
key alt+c          # "&Carichi e scarichi"
key i              # "&Inserisce movimento"
sleep 2
shot 01-finestra

# A load of malt bought from a supplier.
field C; field "1512$year"; field DDT; field "1412$year"; field "DDT 99/$year"
key Return         # no company product code
field M00011071099000000; field S; field 105; field 1200
key Return; key Return   # tax position and country as proposed
field IT00MIA00777M; field "prova da tastiera"
shot 02-carico
key Return         # the cursor is on "CONFERMA"
sleep 2
shot 03-dopo-conferma
key Escape
sleep 1

# The dump read whole first: "grep -q" stops reading at its first match, which would
# end the dump early and fail the pipeline.
cli dump "demo/REGISTRI/$year.RGM" >"$out/dump.jsonl"
if grep -q '"ANNOTA":"prova da tastiera"' "$out/dump.jsonl"; then
  say "the load typed into accise-birra.exe is in the register file; pictures in $out"
else
  fail "the load typed is NOT in the register file"
fi
