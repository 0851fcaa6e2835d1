#!/usr/bin/env bash
# Starts the real game under Xvfb, checks that the window shows the menu,
# clicks through the Exit button to the exit scene and its Yes, and sees the
# program end with status 0 and Config.cfg written.
#   menu_to_exit.sh GAME BUILD_DIR PACK WORK_DIR
set -euo pipefail
game=$1 build=$2 pack=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cp "$game" "$work/zarvenok"
"$pack" extract "$build/Data/Graphic.dxg" menu "$work/menu.png"
"$pack" extract "$build/Data/Graphic.dxg" SceneExit "$work/exit.png"
cd "$work"
pngtopnm menu.png > menu_ref.ppm
pngtopnm exit.png > exit_ref.ppm
export GAME_WINDOW="$here/game_window.sh" SDL_AUDIODRIVER=dummy COMPARE="$here/compare_ppm.py"

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  source "$GAME_WINDOW"
  shows menu || fail "the window does not show the menu"
  # Over the Exit button, then a click: the exit scene.
  xdotool mousemove --window "$wid" 300 500 sleep 0.3 click 1
  shows exit || fail "the exit scene did not come"
  # Yes.
  xdotool mousemove --window "$wid" 290 380 sleep 0.3 click 1
  ended
'

status=$(cat status.txt)
[[ $status == "exit status 0" ]] || { echo "game ended with $status"; cat game.log; exit 1; }
[[ -s Config.cfg ]] || { echo "Config.cfg was not written"; exit 1; }
echo "menu shown, exit scene reached, ended with status 0, Config.cfg written"
