#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and runs with.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  libgl-dev
  fonts-liberation fonts-liberation2
  xvfb xauth xdotool imagemagick poppler-utils
  # a real GDI for the proof that others play our metafiles as we draw them
  wine wine64 gcc-mingw-w64-x86-64
  # a second outside reader of our metafiles
  libreoffice-core libreoffice-draw
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

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
