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
export SDL_AUDIODRIVER=dummy COMPARE="$here/compare_ppm.py"

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  ./zarvenok > game.log 2>&1 &
  pid=$!
  fail() { echo "$1"; kill $pid 2>/dev/null || true; cat game.log; exit 1; }
  wid=""
  for i in $(seq 200); do
    wid=$(xdotool search --name "^Zarvenok$" 2>/dev/null | head -n 1 || true)
    [[ -n $wid ]] && break
    sleep 0.1
  done
  [[ -n $wid ]] || fail "no game window"
  # The root window holds the composed screen in its own plain visual (a
  # window of the game may use a direct-colour visual that xwd misreads).
  shot() {
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xwd -silent -root | xwdtopnm 2>/dev/null | pnmdepth 255 | pnmcut "$X" "$Y" "$WIDTH" "$HEIGHT" > "$1"
  }
  # Waits until the window shows the picture (a slow start is no failure).
  shows() {
    for i in $(seq 40); do
      shot "$1.ppm"
      "$COMPARE" "$1.ppm" "$1_ref.ppm" > "$1.match" && { cat "$1.match"; return 0; }
      sleep 0.25
    done
    cat "$1.match"
    return 1
  }
  shows menu || fail "the window does not show the menu"
  # Over the Exit button, then a click: the exit scene.
  xdotool mousemove --window "$wid" 300 500 sleep 0.3 click 1
  shows exit || fail "the exit scene did not come"
  # Yes.
  xdotool mousemove --window "$wid" 290 380 sleep 0.3 click 1
  for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "the game did not end"
  status=0
  wait $pid || status=$?
  echo "exit status $status" > status.txt
'

status=$(cat status.txt)
[[ $status == "exit status 0" ]] || { echo "game ended with $status"; cat game.log; exit 1; }
[[ -s Config.cfg ]] || { echo "Config.cfg was not written"; exit 1; }
echo "menu shown, exit scene reached, ended with status 0, Config.cfg written"
