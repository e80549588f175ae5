#!/usr/bin/env bash
# Builds the Windows release with the MinGW-w64 cross compilers in
# build/package and packs it into a zip; prints the zip's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORBIX_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j2 >/dev/null
(cd "$build" && cpack -G ZIP >/dev/null)
echo "$root/$build/vorbix-3.0-win64.zip"
