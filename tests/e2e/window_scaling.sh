#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game's window on virtual screens of two sizes: it starts at the
# largest whole multiple of 800 x 600 that fits (1x on 1920 x 1080, 2x on
# 2560 x 1440) or at the factor --scale asks for, and shows the menu with
# each of its pixels a whole block. Under a window manager, Alt+Enter to
# full screen and back leaves the window where it was. Without a display
# the game refuses to start.
#   window_scaling.sh GAME BUILD_DIR PACK WORK_DIR
set -euo pipefail
game=$1 build=$2 pack=$3 work=$4
e2e=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cp "$game" "$work/zarvenok"
cd "$work"
"$pack" extract "$build/Data/Graphic.dxg" menu menu.png
pngtopnm menu.png > menu_ref.ppm
pnmenlarge 2 menu_ref.ppm > menu2_ref.ppm
export GAME_WINDOW=$e2e/game_window.sh SDL_AUDIODRIVER=dummy COMPARE=$e2e/compare_ppm.py

# The window's size, and the menu as it should look at that size.
for run in "1920x1080||800x600|menu" "2560x1440||1600x1200|menu2" "2560x1440|--scale 1|800x600|menu"; do
  IFS='|' read -r screen args size ref <<< "$run"
  GAME_ARGS=$args SIZE=$size REF=$ref xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" bash -euo pipefail -c '
    source "$GAME_WINDOW"
    shows "$REF" || fail "the window does not show the menu at $SIZE"
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    [[ ${WIDTH}x$HEIGHT == "$SIZE" ]] || fail "the window is ${WIDTH}x$HEIGHT, not $SIZE"
    kill $pid
    wait $pid || true
  ' || { echo "screen $screen, '$args': failed"; exit 1; }
  echo "screen $screen, '$args': window $size showing the menu"
done

# Alt+Enter twice there and back under a window manager.
xvfb-run -a -s "-screen 0 2560x1440x24 -nolisten tcp" bash -euo pipefail -c '
  openbox > openbox.log 2>&1 &
  for i in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  source "$GAME_WINDOW"
  placement() { xdotool getwindowgeometry "$wid" | tr -s " \n" " "; }
  # Waits until the placement is the one asked for.
  until_placed() {
    for i in $(seq 60); do
      [[ $(placement) == *"$1"* ]] && return 0
      sleep 0.1
    done
    return 1
  }
  # Waits until the window manager is done with it: one placement for a second.
  settled() {
    local last="" same=0
    for i in $(seq 100); do
      local now
      now=$(placement)
      if [[ $now == "$last" ]]; then
        ((++same >= 10)) && return 0
      else
        same=0 last=$now
      fi
      sleep 0.1
    done
    return 1
  }
  # Waits until the window manager has taken the window and framed it: on
  # a busy machine the game maps it before then, and its first place is
  # not yet the one the manager gives it.
  framed() {
    for i in $(seq 100); do
      xprop -id "$wid" _NET_FRAME_EXTENTS 2>/dev/null | grep -q " = " && return 0
      sleep 0.1
    done
    return 1
  }
  until_placed "Geometry: 1600x1200" || fail "the window is not 1600x1200: $(placement)"
  framed || fail "the window manager does not frame the window"
  settled || fail "the window does not settle: $(placement)"
  before=$(placement)
  for round in 1 2; do
    xdotool key --window "$wid" alt+Return
    until_placed "Geometry: 2560x1440" || fail "no full screen: $(placement)"
    xdotool key --window "$wid" alt+Return
    until_placed "Geometry: 1600x1200" || fail "not back in the window: $(placement)"
    settled || fail "the window does not settle: $(placement)"
    [[ $(placement) == "$before" ]] || fail "round $round moved the window: $before became $(placement)"
  done
  echo "two round trips of Alt+Enter, the window still at: $before"
  kill $pid
  wait $pid || true
'

status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 ./zarvenok > out.txt 2> err.txt || status=$?
[[ $status -eq 1 ]] || { echo "without a display the game ended with status $status"; cat err.txt; exit 1; }
grep -q "No display to show the game on" err.txt || { echo "without a display the game said: $(cat err.txt)"; exit 1; }
echo "without a display: $(cat err.txt)"
