#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the game under Xvfb in WORK_DIR, checks that the window shows the
# menu, clicks through the Exit button to the exit scene and its Yes, and sees
# the program end with status 0. The environment (HOME, XDG_DATA_HOME) is the
# caller's; GRAPHIC_LIBRARY gives the pictures the window is compared with.
#   exit_through_menu.sh GAME WORK_DIR PACK GRAPHIC_LIBRARY
set -euo pipefail
game=$1 work=$2 pack=$3 graphic=$4
e2e=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
"$pack" extract "$graphic" menu "$work/menu.png"
"$pack" extract "$graphic" SceneExit "$work/exit.png"
cd "$work"
pngtopnm menu.png > menu_ref.ppm
pngtopnm exit.png > exit_ref.ppm
export GAME_COMMAND=$game GAME_WINDOW=$e2e/game_window.sh SDL_AUDIODRIVER=dummy COMPARE=$e2e/compare_ppm.py

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  source "$GAME_WINDOW"
  shows menu || fail "the window does not show the menu"
  # Over the Exit button, then a click: the exit scene.
  click 300 500
  shows exit || fail "the exit scene did not come"
  # Yes.
  click 290 380
  ended
'
status=$(cat status.txt)
[[ $status == "exit status 0" ]] || { echo "$game ended with $status"; cat game.log; exit 1; }
