#!/usr/bin/env bash
# The installed package as an application programmer and a script writer use it:
# `cmake --install` the build into a fresh prefix; the public headers are there, flat under
# Kovet/, and nothing private; a shared library of someone else's builds against them with
# find_package(Kovet), every header compiling on its own; examples/fill-demo builds on its own;
# pkg-config gives what a compiler needs; the installed tool finds its modules; the form file
# type, the designer's desktop entry and their icons are where desktops look for them.
set -euo pipefail

build= source= work=
while [[ $# -gt 0 ]]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --source) source=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
test -f "$prefix/include/Kovet/KVTImage.h"
for private in RecordingCanvas.h EmfRecords.h OldKvt.h Dynarray.h; do
  if [[ -e "$prefix/include/Kovet/$private" ]]; then echo "private header $private installed" >&2; exit 1; fi
done
test -f "$prefix/share/man/man1/kovet.1"
test -f "$prefix/share/bash-completion/completions/kovet"
test -f "$prefix/share/mime/packages/kovet-form.xml"
test -f "$prefix/share/applications/kovet-designer.desktop"
test -f "$prefix/share/icons/hicolor/scalable/apps/kovet-designer.svg"
test -f "$prefix/share/icons/hicolor/scalable/mimetypes/application-x-kovet-form.svg"

cmake -S "$source/tests/tools/outside" -B "$work/outside" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" >"$work/outside-configure.log"
cmake --build "$work/outside" -j 2 >"$work/outside-build.log"

cmake -S "$source/examples/fill-demo" -B "$work/demo" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" >"$work/configure.log"
cmake --build "$work/demo" -j 2 >"$work/build.log"
test -x "$work/demo/fill-demo"

PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --exists kovet
# shellcheck disable=SC2046
c++ -fPIC -shared -o "$work/pkgconfig.so" "$source/tests/tools/outside/plugin.cpp" \
  $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs kovet)

"$prefix/bin/kovet" render "$source/examples/small.kvt" -o "$work/small.png"
test -s "$work/small.png"
echo "the installed package builds a shared library, fill-demo and a pkg-config program"
