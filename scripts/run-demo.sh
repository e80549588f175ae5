#!/usr/bin/env bash
# Shows vorbix.exe at work without the game: builds the Windows programs,
# then runs vorbix.exe under Wine beside consolesim.exe, a simulated game
# console that plays a few console lines. Prints every command vorbix types
# into the "game". Ends after SECONDS (default 90) or on Ctrl-C.
#
#   scripts/run-demo.sh [SECONDS]
#
# Installs missing Debian packages first (needs root or sudo then). Uses a
# throw-away Wine prefix, and its own virtual display when DISPLAY is unset.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-90}
build=build/demo

bash scripts/setup.sh

echo "== building the Windows programs"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVORBIX_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j 2 --target vorbix consolesim | tail -n 1

work=$(mktemp -d /tmp/vorbix-demo.XXXXXX)
cp "$build/bin/vorbix.exe" "$build/bin/consolesim.exe" data/vorbix.ini "$work/"
cp -r data/messages data/sounds "$work/"

# A short session: a map loads, the player kills twice and dies once.
{
  echo "# Replayed into the simulated console; control bytes as the game prints them."
  echo "#delay 5000"
  echo "------- Sound Begin Registration -------"
  echo "CL_InitCGame:  1.23 seconds"
  echo "#delay 3000"
  printf '\004Alice was shot by Player in the head\n'
  echo "#delay 2000"
  printf '\004Bob was gunned down by Player\n'
  echo "#delay 2000"
  printf '\004Player was sniped by Carol\n'
} >"$work/replay.txt"

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
unset WINEPREFIX
pids=()
cleanup() {
  trap - EXIT INT TERM
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wine_env_stop
  rm -rf "$work"
  echo "== demo ended"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== preparing a Wine prefix (a few seconds)"
wine_env_start
echo "   display $DISPLAY, prefix $WINEPREFIX, folder $work"

: >"$work/commands.log"
(cd "$work" && exec wine consolesim.exe --edition aa --name Player --replay replay.txt --log commands.log) \
  >/dev/null 2>&1 &
pids+=($!)
(cd "$work" && exec wine vorbix.exe) >/dev/null 2>&1 &
pids+=($!)

echo "== commands vorbix typed into the simulated game (milliseconds, command):"
tail -n +1 -f "$work/commands.log" &
pids+=($!)
sleep "$seconds"
