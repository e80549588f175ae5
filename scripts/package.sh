#!/usr/bin/env bash
# Builds the Windows release with the MinGW-w64 cross compilers in
# build/package and packs it into a zip; prints the zip's path. Fails when
# the zip lacks zzz_vorbix.pk3 (the build packs it only where Python 3 is).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORBIX_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j2 >/dev/null
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$root/$build/vorbix-3.0-win64.zip
listing=$(cmake -E tar tf "$zip")
if ! grep -q '/zzz_vorbix\.pk3$' <<<"$listing"; then
  echo "package.sh: $zip lacks zzz_vorbix.pk3" >&2
  exit 1
fi
echo "$zip"
