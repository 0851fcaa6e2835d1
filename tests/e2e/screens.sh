#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The screens around the game in a real window under Xvfb: the help pages
# forward and back, the options screen switching music off and typing a
# text, and the high-score table. Each screenshot is compared with the same
# screen as the simulator draws it, and with the pictures that must be on it;
# the comparisons must reject an empty screen.
#   screens.sh GAME SIM BUILD_DIR PACK WORK_DIR
set -euo pipefail
game=$1 sim=$2 build=$3 pack=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work/sim"
for dir in "$work" "$work/sim"; do
  ln -s "$build/Data" "$dir/Data"
  ln -s "$build/Music" "$dir/Music"
done
cp "$game" "$work/zarvenok"
cd "$work"

library=Data/Graphic.dxg
for name in Options_music_off Options_window_mode Bukva_Z menu; do
  "$pack" extract "$library" "$name" picture.png && pngtopam -alphapam picture.png > "$name.pam"
done
"$pack" extract "$library" menu picture.png && pngtopnm picture.png > menu_ref.ppm
ppmmake black 800 600 > black.ppm

# The expected screens, drawn by the game itself on the headless platform,
# with the pointer where the real one will rest.
cat > sim/screens.sim <<'SIM'
start
move 350 150
click left 350 150
move 500 480
click left 500 480
move 760 580
frames 2
screenshot help2.png
move 270 480
click left 270 480
move 760 580
frames 2
screenshot help1.png
key Esc
move 350 240
click left 350 240
move 380 245
click left 380 245
type zed
move 760 580
frames 2
screenshot options.png
key Esc
move 350 330
click left 350 330
move 760 580
frames 2
screenshot scores.png
SIM
(cd sim && "$sim" screens.sim)
for name in help1 help2 options scores; do pngtopnm "sim/$name.png" > "${name}_ref.ppm"; done

# The references tell the screens apart, and an empty screen from each.
for name in help1 help2 options scores; do
  if "$here/compare_ppm.py" black.ppm "${name}_ref.ppm" > /dev/null; then echo "$name accepts a black screen"; exit 1; fi
done
if "$here/compare_ppm.py" help1_ref.ppm help2_ref.ppm > /dev/null; then echo "the help pages look alike"; exit 1; fi
if "$here/compare_ppm.py" options_ref.ppm scores_ref.ppm > /dev/null; then echo "options and scores look alike"; exit 1; fi

export GAME_WINDOW="$here/game_window.sh" SDL_AUDIODRIVER=dummy COMPARE="$here/compare_ppm.py" CHECK="$here/check_picture.py"
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  source "$GAME_WINDOW"
  rest() { xdotool mousemove --window "$wid" 760 580; }
  key() { xdotool windowfocus --sync "$wid" key "$@"; }

  shows menu || fail "the window does not show the menu"
  click 350 150; click 500 480; rest
  shows help2 || fail "the second help page is not shown"
  click 270 480; rest
  shows help1 || fail "back on the first help page is not shown"
  key Escape
  shows menu || fail "Esc on the help screen did not lead to the menu"
  click 350 240; click 380 245
  key z e d; rest
  shows options shows:Options_music_off.pam:342,221 shows:Options_window_mode.pam:266,137 shows:Bukva_Z.pam:390,410 \
    || fail "the options screen does not show music off and the typed text"
  key Escape
  shows menu || fail "Esc on the options screen did not lead to the menu"
  click 350 330; rest
  shows scores || fail "the high-score table is not shown"
  key Escape
  shows menu || fail "Esc on the high-score screen did not lead to the menu"
  click 300 500
  click 290 380
  ended
'
status=$(cat status.txt)
[[ $status == "exit status 0" ]] || { echo "game ended with $status"; cat game.log; exit 1; }
echo "help pages, options and the high-score table shown as the game draws them; ended with status 0"
