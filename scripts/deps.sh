#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing. Quiet; root or sudo.
set -euo pipefail

# libpq-dev builds bench_search's PostgreSQL reference; running that reference also needs the
# postgresql package (the database server), which the build and the tests do not.
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite qt6-httpserver-dev qt6-websockets-dev qt6-webengine-dev libsimdjson-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpq-dev libxlsxwriter-dev fonts-dejavu-core fonts-liberation
)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(clang libclang-rt-14-dev poppler-utils python3-openpyxl)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Missing packages: ${missing[*]} (run as root to install them)" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
