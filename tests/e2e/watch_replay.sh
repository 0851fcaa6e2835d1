#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Watching a replay in the real window: `zarvenok --replay FILE --speed N`
# shows the recorded battle (the weapon comes up in play) and ends by itself
# with status 0 after the game; Esc leaves a replay at once; a damaged file
# is refused before any window opens, saying what is wrong.
#   watch_replay.sh GAME BUILD_DIR PACK WORK_DIR REPLAY
set -euo pipefail
game=$1 build=$2 pack=$3 work=$4 replay=$5
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cp "$game" "$work/zarvenok"
cd "$work"

for n in 0 1 2 3 4 5; do "$pack" extract Data/Graphic.dxg ak47 picture.png --pattern $n && pngtopam -alphapam picture.png > ak47_$n.pam; done

head -c 200 "$replay" > cut.zrp
status=0
SDL_AUDIODRIVER=dummy xvfb-run -a ./zarvenok --replay cut.zrp > cut.log 2>&1 || status=$?
[[ $status == 1 ]] || { cat cut.log; echo "a damaged replay ended with status $status"; exit 1; }
grep -q "^zarvenok: cut.zrp: Replay file truncated" cut.log || { cat cut.log; echo "the refusal does not say why"; exit 1; }

export GAME_WINDOW="$here/game_window.sh" SDL_AUDIODRIVER=dummy COMPARE="$here/compare_ppm.py" CHECK="$here/check_picture.py"
export WEAPON="shows:ak47_?.pam:220,475-490" REPLAY="$replay"
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  # To the end by itself, twice as fast.
  GAME_ARGS="--replay $REPLAY --speed 2" source "$GAME_WINDOW"
  passes weapon 80 "$WEAPON" || fail "the replay does not show the battle"
  for i in $(seq 600); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  ended
  [[ $(cat status.txt) == "exit status 0" ]] || fail "the replay ended with $(cat status.txt)"
  [[ ! -e replays ]] || fail "watching a replay recorded it again"

  # Esc leaves at once.
  GAME_ARGS="--replay $REPLAY" source "$GAME_WINDOW"
  passes weapon 80 "$WEAPON" || fail "the replay does not show the battle"
  xdotool windowfocus --sync "$wid" key Escape
  ended
  [[ $(cat status.txt) == "exit status 0" ]] || fail "Esc ended the replay with $(cat status.txt)"
'
echo "a replay watched to its end and left with Esc; a damaged one refused"
