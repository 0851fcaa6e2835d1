#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
"$here/exit_through_menu.sh" "$work/zarvenok" "$work" "$pack" "$build/Data/Graphic.dxg"
cd "$work"
[[ -s Config.cfg ]] || { echo "Config.cfg was not written"; exit 1; }
echo "menu shown, exit scene reached, ended with status 0, Config.cfg written"
