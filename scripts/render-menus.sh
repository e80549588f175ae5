#!/usr/bin/env bash
# Renders a preview of every game-side menu (data/ui/*.urc) to
# docs/menus/<menu>.png, the pictures of the player guide: the menu checker
# turns each menu's rects, colours and texts into ImageMagick draw commands,
# painted over a plain 640 x 480 backdrop, with sample counts in the HUD.
# Run it after changing a menu and commit the pictures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
build=build/native
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target vorbix_menucheck >/dev/null
tool=$build/tests/menucheck/vorbix_menucheck
samples=(sfx_kills=24 sfx_deaths=9 sfx_in_a_row_kills=11 sfx_in_a_row_deaths=2
         sfx_double_kills=5 sfx_multi_kills=2 sfx_ultra_kills=1 sfx_monster_kills=0
         sfx_killingspree=2 sfx_rampage=1 sfx_dominating=0 sfx_unstoppable=0 sfx_godlike=0 sfx_holyshit=0
         sfx_headshots_kills=6 sfx_bashes_kills=1 sfx_suicides=1)
mkdir -p docs/menus
for menu in data/ui/*.urc; do
  name=$(basename "$menu" .urc)
  name=${name#vorbix_}
  draw=$("$tool" --draw "$menu" "${samples[@]}")
  convert -size 640x480 gradient:'#71808c'-'#3a342b' -draw "$draw" -strip docs/menus/"$name".png
  echo "docs/menus/$name.png"
done
