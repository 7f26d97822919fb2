#!/usr/bin/env bash
# Installs, from the distribution's archive, every package the project needs.
# Packages that are already installed are skipped; with nothing missing the
# script does not touch the network.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev
  qt6-base-dev libjpeg-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libsqlite3-dev sqlite3
  valgrind xvfb xauth imagemagick poppler-utils qpdf fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
