#!/usr/bin/env bash
# Builds the programs, starts tarvik-server with a demo database on a free loopback port, talks to it with
# tarvik-call (a whole order), then runs the desktop client against it: log in as DEMO / 1234.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tarvik-server tarvik-call tarvik

log=$(mktemp)
heard=$(mktemp)
data=$(mktemp -d)
build/server/tarvik-server --db "$data/demo.db" --demo --demo-user dealer --listen 127.0.0.1:0 --http 127.0.0.1:0 >"$log" &
server=$!
listener=""
trap 'kill $listener $server 2>/dev/null; rm -rf "$log" "$heard" "$data"' EXIT
for _ in $(seq 300); do grep -q '^http on' "$log" && break; sleep 0.1; done
address=$(sed -n 's/^listening on //p' "$log")
echo "tarvik-server is listening on $address; its web site is on $(sed -n 's/^http on //p' "$log")"
export TARVIK_SERVER=$address
export TARVIK_WEB=$(sed -n 's/^http on //p' "$log")

set -x
build/tools/tarvik-call EchoString '"Merhaba ığüşöç"'
build/tools/tarvik-call ReverseString '"Tarvik Vidovevi"'
build/tools/tarvik-call --dry-run SepetHepsiniSil '{"FADI":"ALI","FCARINO":120}'
build/tools/tarvik-call --whoami
build/tools/tarvik-call --check
machine=$(build/tools/tarvik-call --whoami | sed 's/.*"BILGISAYARID":"\([^"]*\)".*/\1/')
build/tools/tarvik-call BuyukGetir "\"$machine\""
build/tools/tarvik-call StokAraGetir '"SU POMPASI KARTALPAR"' '{"FCARINO":100}' | cut -c1-1500
{ set +x; } 2>/dev/null

echo
echo "A whole order through tarvik-call: add two lines to the basket, send the selected lines, see the order."
set -x
build/tools/tarvik-call SepetEkle2 '{"FCARINO":100,"FSirano":1}' 100 10001 '""' '""' 2 20 150.0 10 1 0 0 0 0
build/tools/tarvik-call SepetEkle2 '{"FCARINO":100,"FSirano":1}' 100 10002 '""' '""' 1 20 80.0 10 1 0 0 0 0
build/tools/tarvik-call SepetVer2 100 | cut -c1-1200
build/tools/tarvik-call SiparisKaydet '{"FCARINO":100,"FSirano":1}' 100 2 1 '"Demo siparişi"' 1 1
build/tools/tarvik-call SepetVer2 100 | cut -c1-400
{ set +x; } 2>/dev/null
order=$(build/tools/tarvik-call OncekiSiparisler 100 | sed 's/.*"rows":\[\[[0-9]*,\([0-9]*\).*/\1/')
echo "the newest order is $order"
set -x
build/tools/tarvik-call SiparisAyrintisi2 100 "$order" | cut -c1-1200
build/tools/tarvik-call SiparisAytintisiDip 0 "$order"
build/tools/tarvik-call BalonGetir '{"FCARINO":100,"FSirano":1}'
build/tools/tarvik-call --save "$data/ekstre.pdf" RaporGetir 6 6 1 100 '"."' "$(( $(date +%s) / 86400 + 25569 ))" "$(( $(date +%s) / 86400 + 25569 ))"
{ set +x; } 2>/dev/null
ls -l "$data/ekstre.pdf"

# A client on the notification channel, and a notification from the server.
build/tools/tarvik-call --listen >"$heard" 2>/dev/null &
listener=$!
sleep 1
echo "+ build/server/tarvik-server notify '{\"duyuru\":\"Yeni kampanya\"}'   (clients that answered true:)"
build/server/tarvik-server notify '{"duyuru":"Yeni kampanya"}'
sleep 0.2
echo "the listening client printed:"
cat "$heard"

echo
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "Starting the program. Log in as DEMO, password 1234 (other demo users in the README)."
  [[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
  build/src/app/tarvik || true
else
  echo "No display: to see the program, run this script on a desktop, or under Xvfb (scripts/screenshots.sh)."
fi
