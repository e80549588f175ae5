#!/usr/bin/env bash
# The history report in a real browser: headless Chromium renders the page
# that "vorbixstats --report" makes of a generated history of 300 maps (names
# with markup and code-page bytes among them), in the light and the dark
# colour scheme. Passes when the page logs nothing to the console (it has no
# scripts, so any message is an error or a blocked load or script) and the
# screenshots hold the charts: enough pixels of each chart colour, the kills
# and deaths chart within the first 1280x720 screen.
#
#   browser_test.sh HISTORY_BENCH VORBIXSTATS
set -euo pipefail
bench=$1
viewer=$2
work=$(mktemp -d /tmp/vorbix-report-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

"$bench" --make 300 "$work"
(cd "$work" && "$viewer" --report report.html >/dev/null)

# shot NAME HEIGHT [chromium flags...]: a screenshot 1280 wide; the console's
# messages go to NAME.log.
shot() {
  local name=$1 height=$2
  shift 2
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile-$name" --enable-logging=stderr --v=0 \
    --window-size=1280,"$height" --screenshot="$work/$name.png" "$@" \
    "file://$work/report.html" >/dev/null 2>"$work/$name.log" || fail "$name: chromium failed"
  [ -s "$work/$name.png" ] || fail "$name: no screenshot"
  if grep -q ':CONSOLE' "$work/$name.log"; then
    fail "$name: console messages:"
    grep ':CONSOLE' "$work/$name.log"
  fi
}

# pixels NAME COLOUR: how many pixels of the screenshot have exactly that colour.
pixels() {
  convert "$work/$1.png" -format %c histogram:info:- |
    awk -v c="#$2" 'toupper($3) == toupper(c) { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

# expect NAME COLOUR MINIMUM WHAT
expect() {
  local n
  n=$(pixels "$1" "$2")
  if [ "$n" -lt "$3" ]; then
    fail "$1: $4 has $n pixels of #$2, expected at least $3"
  else
    echo "ok: $1: $4, $n pixels of #$2"
  fi
}

shot first-screen 720
expect first-screen 1A7F37 5000 "kills bars"
expect first-screen CF222E 5000 "deaths bars"

shot light 2600
expect light FFFFFF 400000 "background"
expect light 1A7F37 8000 "kills bars"
expect light CF222E 8000 "deaths bars"
expect light 0969DA 1000 "ratio line"
expect light 9A6700 2000 "spree bars"

shot dark 2600 --force-dark-mode
expect dark 0D1117 400000 "background"
expect dark 3FB950 8000 "kills bars"
expect dark F85149 8000 "deaths bars"
expect dark 4493F8 1000 "ratio line"
expect dark D29922 2000 "spree bars"

if [ "$failures" -ne 0 ]; then
  cp "$work"/*.png "${TMPDIR:-/tmp}/" 2>/dev/null || true
  echo "$failures check(s) failed; screenshots copied to ${TMPDIR:-/tmp}"
  exit 1
fi
echo "report renders its charts in both colour schemes, no console messages"
