#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real game under Xvfb, starts a game from the menu, waits for the
# weapon, fires at the battlefield and checks the screen against the game's
# own pictures: the scene's backdrop where nothing covers it, the weapon and
# the HUD. Then leaves the battle through the exit panel's Yes, sees the
# menu again and ends the program through the exit scene with status 0.
# The game it played is in the replay folder, and replays the same.
#   play_a_game.sh GAME BUILD_DIR PACK WORK_DIR
set -euo pipefail
game=$1 build=$2 pack=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cp "$game" "$work/zarvenok"
cd "$work"

library=Data/Graphic.dxg
extract() { "$pack" extract "$library" "$@" picture.png; }
extract menu && pngtopnm picture.png > menu_ref.ppm
extract SceneExit && pngtopnm picture.png > exit_ref.ppm
extract Scene1 && pngtopnm picture.png > scene1.ppm
for n in 0 1 2 3 4 5; do "$pack" extract "$library" ak47 picture.png --pattern $n && pngtopam -alphapam picture.png > ak47_$n.pam; done
for name in Lifes_3 level odinoch Exit_Main; do extract "$name" && pngtopam -alphapam picture.png > "$name.pam"; done
ppmmake black 800 600 > black.ppm

check="$here/check_picture.py"
# The sky between the HUD and the palm: no enemy of level 1 reaches it and
# the pointer is kept away from it.
sky="same:scene1.ppm:0,50,800,170"
# One of the six aiming poses, resting or kicked up by a shot.
weapon="shows:ak47_?.pam:220,475-490"
# Lives, the level caption and the fire mode stay put in the first level;
# the countdown, the score and the health change, so only their glyphs'
# presence is checked.
hud=(shows:Lifes_3.pam:0,538 shows:level.pam:646,12 shows:odinoch.pam:735,543
     differs:scene1.ppm:42,8,158,44 differs:scene1.ppm:387,12,411,48 differs:scene1.ppm:90,550,216,592)

# The checks must tell a battlefield from what is not one.
if "$check" black.ppm "$sky" "$weapon" "${hud[@]}" > black.check; then
  cat black.check; echo "the battlefield check accepts a black frame"; exit 1
fi
grep -q "^$sky FAIL" black.check || { cat black.check; echo "the sky check accepts a black frame"; exit 1; }
# The bare backdrop has the sky but neither the weapon nor any HUD glyph.
"$check" scene1.ppm "$sky" "$weapon" "${hud[@]}" > backdrop.check || true
if [[ $(grep -c " ok " backdrop.check) != 1 ]] || ! grep -q "^$sky ok" backdrop.check; then
  cat backdrop.check; echo "the weapon or HUD checks accept the bare backdrop"; exit 1
fi

export GAME_WINDOW="$here/game_window.sh" SDL_AUDIODRIVER=dummy COMPARE="$here/compare_ppm.py" CHECK="$check" SKY="$sky" WEAPON="$weapon" HUD="${hud[*]}"
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  source "$GAME_WINDOW"

  shows menu || fail "the window does not show the menu"
  "$CHECK" menu.ppm "$SKY" $HUD > menu.check && { cat menu.check; fail "the battlefield check accepts the menu"; }
  grep -q "^$SKY FAIL" menu.check || { cat menu.check; fail "the sky check accepts the menu"; }

  click 380 60
  # The level caption plays for about three seconds before the weapon comes.
  passes play "60" "$WEAPON" || fail "the weapon did not come up"
  for point in "150 470" "400 470" "650 470" "300 400" "500 380" "560 300"; do
    click $point
  done
  # The pointer well below the sky; the kick and the flash end by themselves.
  xdotool mousemove --sync --window "$wid" 400 450
  passes battlefield 40 "$SKY" "$WEAPON" $HUD || fail "the battlefield is not shown as expected"

  # Enemies come within seconds: sweep the ground and the road with shots
  # for a while, hitting whatever is there, and the game must go on.
  for round in 1 2 3 4; do
    for point in "220 420" "330 400" "440 430" "550 410" "660 440" "300 300" "500 290" "400 200"; do
      click $point
    done
  done
  kill -0 $pid 2>/dev/null || fail "the game ended while shooting"
  xdotool mousemove --sync --window "$wid" 400 450
  passes fought 40 "$SKY" "$WEAPON" $HUD || fail "the battlefield is not shown after the shooting"
  ! grep -q "^zarvenok:" game.log || fail "the game reported an error while shooting"

  # Esc: the exit panel, centred; its Yes leads back to the menu. On a slow
  # machine the level may have run out meanwhile, and the next level'"'"'s
  # intro rightly ignores Esc: the weapon shows only in play (and never
  # beside the panel), so wait for it before each try.
  panel=no
  for attempt in 1 2 3; do
    passes ready 80 "$WEAPON" || fail "the weapon did not come back"
    xdotool windowfocus --sync "$wid" key Escape
    if passes panel 20 shows:Exit_Main.pam:190,175; then panel=yes; break; fi
  done
  [[ $panel == yes ]] || fail "the exit panel did not come"
  click 300 350
  shows menu || fail "Yes on the exit panel did not lead to the menu"

  # Over the Exit button, then a click: the exit scene, and its Yes.
  click 300 500
  shows exit || fail "the exit scene did not come"
  click 290 380
  ended
'

status=$(cat status.txt)
[[ $status == "exit status 0" ]] || { echo "game ended with $status"; cat game.log; exit 1; }
replays=(replays/replay-*.zrp)
[[ ${#replays[@]} == 1 && -f ${replays[0]} ]] || { echo "one replay expected, found: ${replays[*]}"; exit 1; }
"$build/zarvenok-replay" --data "$build" verify "${replays[0]}" > verify.txt || { cat verify.txt; echo "the game's replay does not verify"; exit 1; }
grep -q "^verified: score [0-9]*, level 1, frames [1-9]" verify.txt || { cat verify.txt; exit 1; }
echo "battlefield shown with its weapon and HUD, back to the menu, ended with status 0; $(cat verify.txt)"
