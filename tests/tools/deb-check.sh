#!/usr/bin/env bash
# The Debian package as a new user meets it: its files, an install with apt that brings what
# it depends on, a working kovet, a program of someone else's built against the installed
# headers with find_package(Kovet), and a removal that leaves nothing behind. Installs into
# the system, so CI runs it after the tests, not ctest.
#   tests/tools/deb-check.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: deb-check.sh BUILD_DIR}
source=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(ls "$build"/kovet_*.deb)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for expected in ./usr/bin/kovet ./usr/bin/kovet-designer ./usr/share/applications/kovet-designer.desktop \
  ./usr/share/mime/packages/kovet-form.xml ./usr/share/kovet/guide/index.html ./usr/include/Kovet/KVTImage.h ./usr/lib/cmake/Kovet/KovetConfig.cmake \
  ./usr/lib/pkgconfig/kovet.pc ./usr/lib/pkgconfig/kovet-pdf.pc ./usr/lib/cmake/Kovet/KovetPdfTargets.cmake \
  ./usr/include/Kovet/FillablePdf.h ./usr/share/man/man1/kovet.1 ./usr/lib/kovet/kovet-render.so; do
  grep -qx "$expected" "$work/contents" || { echo "deb-check: $expected missing from the package" >&2; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "deb-check: no Qt run-time dependency" >&2; exit 1; }

export DEBIAN_FRONTEND=noninteractive
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get install -y -qq "$(realpath "$deb")" >/dev/null
kovet --version
kovet-designer --version
kovet render "$source/examples/invoice.kvt" -o "$work/invoice.png"
test -s "$work/invoice.png"
cmake -S "$source/tests/tools/outside" -B "$work/outside" -G Ninja >/dev/null
cmake --build "$work/outside" -j 2 >/dev/null
QT_QPA_PLATFORM=offscreen "$work/outside/roundtrip" "$source/examples/invoice.kvt" "$work/invoice-form.pdf"
pkg-config --libs kovet-pdf | grep -q -- -lkovet_pdfwidget || { echo "deb-check: no kovet-pdf.pc" >&2; exit 1; }

# Its files and its own folders; folders it shares with other packages stay.
installed="$(dpkg -L kovet | while read -r path; do [[ -d $path ]] || echo "$path"; done)
/usr/include/Kovet /usr/lib/kovet /usr/lib/cmake/Kovet"
$sudo apt-get remove -y -qq kovet >/dev/null
left=""
for path in $installed; do
  if [[ -e $path ]]; then left+=" $path"; fi
done
[[ -z $left ]] || { echo "deb-check: left behind after removal:$left" >&2; exit 1; }
echo "deb-check: the package installs, works, builds a program against its headers and removes cleanly"
