#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: quiet, no Mono/Gecko
# prompts, in the prefix and display that scripts/test.sh prepared (or a
# throw-away prefix of its own when run alone).
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$(mktemp -d /tmp/vorbix-wine.XXXXXX)
  wineboot -i >/dev/null 2>&1 || true
fi
exec wine "$@"
