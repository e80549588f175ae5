#!/usr/bin/env bash
# Shows vorbix.exe at work without the game. Builds the Windows programs,
# then runs vorbix.exe under Wine beside consolesim.exe, a simulated game
# console replaying a recorded match (data/demo/match.log: two maps, kills,
# a killing spree, multi-kills, a headshot, a bash, deaths, a suicide and an
# in-game option), about five minutes of play in under a minute. Meanwhile it
# prints every command vorbix typed into the "game" and saves a screenshot
# of the main window; at the end it closes vorbix.exe as a user would (so it
# saves its totals) and prints them with vorbixstats.exe.
#
#   scripts/run-demo.sh
#
# Installs missing Debian packages first (needs root or sudo then). Uses a
# throw-away Wine prefix and run folder, and its own virtual display when
# DISPLAY is unset (with DISPLAY set, the windows are visible).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/demo
out=out/demo
player=Kestrel
speed=8
main_title="Vorbix3 Beta2"
game_title="MOHAA Console"

bash scripts/setup.sh

echo "== building the Windows programs"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVORBIX_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j 2 --target vorbix vorbixstats consolesim | tail -n 1

# The run folder: the shipped data, sounds off so no audio device matters.
# The replay runs $speed times faster than the match, so the multi-kill
# window shrinks with it (10 s of play is about 1 s here).
work=$(mktemp -d /tmp/vorbix-demo.XXXXXX)
cp "$build/bin/vorbix.exe" "$build/bin/vorbixstats.exe" "$build/bin/consolesim.exe" data/demo/match.log "$work/"
cp -r data/messages data/sounds "$work/"
sed -e 's/^sounds=1/sounds=0/' -e 's/^kill_time=.*/kill_time=2/' data/vorbix.ini >"$work/vorbix.ini"
log="$work/received.log"
: >"$log"
mkdir -p "$out"
shot="$root/$out/main-window.png"
rm -f "$shot"

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
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Prints the commands received since the last call: seconds into the run, command.
shown=0
show_received() {
  local total
  total=$(wc -l <"$log")
  if [ "$total" -gt "$shown" ]; then
    tail -n +"$((shown + 1))" "$log" | head -n "$((total - shown))" |
      awk -F'\t' '{ printf "  %6.2f s  %s\n", $1 / 1000, $2 }'
    shown=$total
  fi
}
# Waits up to $2 tenths of a second until the X window titled $1 exists.
wait_for_window() {
  local _
  for _ in $(seq "$2"); do
    xwininfo -name "$1" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
# Saves the window titled $1 as the PNG $2, cut from the whole screen so
# whatever draws the window frame is in the picture.
screenshot() {
  local info x y w h
  info=$(xwininfo -name "$1") || return 1
  x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
  w=$(awk '/Width:/ { print $NF }' <<<"$info")
  h=$(awk '/Height:/ { print $NF }' <<<"$info")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
}
alive() { kill -0 "$1" 2>/dev/null; }

echo "== preparing a Wine prefix (a few seconds)"
wine_env_start
if [ ${#wine_env_pids[@]} -gt 0 ]; then
  # On a display of our own nothing draws window frames or a tray: a Wine
  # desktop does, and keeps the tray icon off the main window.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Demo /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Demo /d 1280x1000 /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w || true  # the next program must not meet the server on its way out
fi
echo "   display $DISPLAY, prefix $WINEPREFIX, run folder $work"

# The game first, then the companion, which finds its console and asks for
# the player's name; the replay's opening pause leaves time for that.
(cd "$work" && exec wine consolesim.exe --edition aa --name "$player" --replay match.log --speed "$speed" \
  --log received.log) >"$work/game.out" 2>&1 &
game_pid=$!
pids+=("$game_pid")
if ! wait_for_window "$game_title" 600; then
  echo "the simulated game did not open its window" >&2
  cat "$work/game.out" >&2
  exit 1
fi
start=$SECONDS
(cd "$work" && exec wine vorbix.exe) >"$work/vorbix.out" 2>&1 &
vorbix_pid=$!
pids+=("$vorbix_pid")
if ! wait_for_window "$main_title" 600; then
  echo "vorbix.exe did not open its window" >&2
  cat "$work/vorbix.out" >&2
  exit 1
fi

# The replay's length at this speed, plus a little for the last commands.
replay_seconds=$(awk -v s="$speed" '/^#delay / { ms += $2 } END { printf "%d", ms / s / 1000 + 3 }' data/demo/match.log)
shot_tried=0
echo "== the match replays for about $replay_seconds s; commands vorbix typed into the game (time, command):"
while [ $((SECONDS - start)) -lt "$replay_seconds" ]; do
  show_received
  if [ "$shot_tried" = 0 ] && grep -q "Name Detected" "$log"; then
    shot_tried=1
    sleep 1  # the status and name labels repaint after the name arrives
    if screenshot "$main_title" "$shot"; then
      echo "  (screenshot of the main window saved)"
    else
      echo "  (no screenshot: the main window was not found)"
    fi
  fi
  alive "$vorbix_pid" || { echo "vorbix.exe ended early" >&2; exit 1; }
  sleep 0.5
done

echo "== closing vorbix.exe from its window (it saves the totals on the way out)"
(cd "$work" && wine consolesim.exe --close "$main_title") || echo "   the close request failed" >&2
for _ in $(seq 100); do alive "$vorbix_pid" || break; sleep 0.1; done
if alive "$vorbix_pid"; then
  echo "vorbix.exe did not exit" >&2
  exit 1
fi
wait "$vorbix_pid" && status=0 || status=$?
sleep 0.5
show_received
echo "   vorbix.exe ended with exit code $status"
(cd "$work" && wine consolesim.exe --close "$game_title") >/dev/null 2>&1 || true

echo "== vorbixstats.exe in the run folder:"
(cd "$work" && wine vorbixstats.exe) | tr -d '\r' | sed 's/^/  /'
echo "== the match history, a row for each map (vorbixstats.exe --history):"
(cd "$work" && wine vorbixstats.exe --history) | tr -d '\r' | sed 's/^/  /'

if [ -e "$shot" ]; then echo "== screenshot of the main window: $shot"; else echo "== no screenshot was taken"; fi
echo "== demo done"
