#!/usr/bin/env bash
# The installed package as an application programmer uses it: `cmake --install` the build
# into a fresh prefix, then build examples/fill-demo on its own against that prefix with
# find_package(Kovet) and Kovet::Widgets.
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
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
test -f "$work/prefix/lib/cmake/Kovet/KovetConfig.cmake"
test -f "$work/prefix/include/kovet/display/KVTImage.h"

cmake -S "$source/examples/fill-demo" -B "$work/demo" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/configure.log"
cmake --build "$work/demo" -j 2 >"$work/build.log"
test -x "$work/demo/fill-demo"
echo "fill-demo built against the installed package"
