#!/usr/bin/env bash
# Takes screenshots of the program as a user sees it: a virtual X display (Xvfb), the demo server, the
# client; the login window, the main window after the demo login, the stock list; then every step of a
# typical order (the end-to-end test, run on the same display). Writes docs/screenshots/*.png and
# docs/screenshots/siparis/*.png.
# Needs xvfb, xdotool, x11-apps (xwd) and imagemagick (convert).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for tool in Xvfb xdotool xwd; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb xdotool x11-apps imagemagick)" >&2; exit 1; }
done
convert=/usr/bin/convert
[[ -x $convert ]] || convert=$(command -v convert)
cmake --preset default >/dev/null
cmake --build --preset default --target tarvik tarvik-server tarvik_client_tests

out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
display=:97
Xvfb $display -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
build/server/tarvik-server --db "$work/demo.db" --demo --demo-user dealer --listen 127.0.0.1:0 --http 127.0.0.1:0 >"$work/server.log" 2>&1 &
server=$!
client=""
trap 'kill $client $server $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 300); do grep -q '^http on' "$work/server.log" && break; sleep 0.1; done
export DISPLAY=$display XDG_CONFIG_HOME="$work/config" QTWEBENGINE_DISABLE_SANDBOX=1
export TARVIK_SERVER=$(sed -n 's/^listening on //p' "$work/server.log")
export TARVIK_WEB=$(sed -n 's/^http on //p' "$work/server.log")

shot() { xwd -root -display $display | $convert xwd:- "$out/$1.png"; echo "$out/$1.png"; }
waitfor() { for _ in $(seq 200); do xdotool search --name "$1" >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }

build/src/app/tarvik >"$work/client.log" 2>&1 &
client=$!
waitfor '^Giriş$'
sleep 1
shot 01-giris
xdotool search --name '^Giriş$' windowactivate --sync 2>/dev/null || true
xdotool type --delay 60 "demo"
xdotool key Return
xdotool type --delay 60 "1234"
sleep 0.3
shot 02-giris-dolu
xdotool key Return
waitfor 'Tarvik Vidovevi B2B Programı'
sleep 3
shot 03-ana-pencere
xdotool type --delay 40 "fren balata"
xdotool key Return
sleep 4
shot 04-stok-listesi
main=$(xdotool search --name 'Tarvik Vidovevi B2B Programı' | head -1)
xdotool windowsize "$main" 1100 800
sleep 2
shot 05-stok-listesi-dar

kill $client 2>/dev/null || true
client=""
# Every step of a typical order, in real windows on the same display.
QT_QPA_PLATFORM=xcb TARVIK_ORDER_PNG_DIR="$out/siparis" build/tests/tarvik_client_tests --gtest_filter='TypicalOrder.*' >"$work/order.log" 2>&1 \
  || { cat "$work/order.log"; exit 1; }
ls "$out/siparis"/*.png
