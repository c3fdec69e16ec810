#!/usr/bin/env bash
# Installs the Debian packages the project needs: with no argument what building and running
# need; with --test also what the tests, benchmarks and fuzzers use (GoogleTest, Google
# Benchmark, clang, and the outside programs that read our files: Wine and MinGW,
# LibreOffice, poppler, Xvfb...). Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  # GIF page exports; Qt has no GIF writer
  libgif-dev
  # the form widget's plug-in for Qt Designer, and .ui files loaded at run time
  qt6-tools-dev libqt6opengl6-dev
  # fillable PDF forms: the form fields added to the page, and filled-in forms read back
  libqpdf-dev
  fonts-liberation fonts-liberation2
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(
    git libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    xvfb xauth xdotool imagemagick poppler-utils
    # the outside checker, readers and writers of fillable PDF forms (pdf.js runs in Node)
    qpdf pdftk python3-pypdf mupdf-tools libjs-pdf nodejs
    # a real GDI for the proof that others play our metafiles as we draw them
    wine wine64 gcc-mingw-w64-x86-64
    # a second outside reader of our metafiles, and of the RTF export; it writes metafiles too
    libreoffice-core libreoffice-draw libreoffice-writer
    # an outside writer of metafiles, for the word-processor form import
    libemf-dev
    # Free Pascal's component streaming writes the Delphi form files the reader is proved on
    fpc
    # the desktop entry's validator and the MIME database the file type registers with
    desktop-file-utils shared-mime-info
  )
elif [[ $# -gt 0 ]]; then
  echo "usage: $0 [--test]" >&2
  exit 2
fi

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
