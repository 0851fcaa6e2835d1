#!/usr/bin/env bash
# Starts the real game under Xvfb, checks that the window shows the menu,
# clicks through the Exit button to the exit scene and its Yes, and sees the
# program end with status 0 and Config.cfg written.
#   menu_to_exit.sh GAME BUILD_DIR PACK WORK_DIR
set -euo pipefail
game=$1 build=$2 pack=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cp "$game" "$work/zarvenok"
"$pack" extract "$build/Data/Graphic.dxg" menu "$work/menu.png"
"$pack" extract "$build/Data/Graphic.dxg" SceneExit "$work/exit.png"
cd "$work"
export SDL_AUDIODRIVER=dummy
export WORK="$work"

xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  ./zarvenok > game.log 2>&1 &
  pid=$!
  wid=""
  for i in $(seq 100); do
    wid=$(xdotool search --name "^Zarvenok$" 2>/dev/null | head -n 1 || true)
    [[ -n $wid ]] && break
    sleep 0.1
  done
  [[ -n $wid ]] || { echo "no game window"; kill $pid; exit 1; }
  sleep 1.5
  # The root window holds the composed screen in its own plain visual (a
  # window of the game may use a direct-colour visual that xwd misreads).
  shot() {
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xwd -silent -root | xwdtopnm 2>/dev/null | pnmdepth 255 | pnmcut "$X" "$Y" "$WIDTH" "$HEIGHT" > "$1"
  }
  shot menu.ppm
  # Over the Exit button, then a click: the exit scene.
  xdotool mousemove --window "$wid" 300 500 sleep 0.3 click 1
  sleep 1
  shot exit.ppm
  # Yes.
  xdotool mousemove --window "$wid" 290 380 sleep 0.3 click 1
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "the game did not end"; kill $pid; exit 1; fi
  wait $pid
  echo "exit status $?" > status.txt
'

pngtopnm menu.png > menu_ref.ppm
pngtopnm exit.png > exit_ref.ppm
python3 - <<'PY'
import sys

def read_ppm(path):
    data = open(path, 'rb').read()
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        parts.append(data[pos:end])
        pos = end
    pos += 1
    w, h = int(parts[1]), int(parts[2])
    return w, h, data[pos:pos + w * h * 3]

def matching_share(shot, ref):
    sw, sh, sp = read_ppm(shot)
    rw, rh, rp = read_ppm(ref)
    if (sw, sh) != (rw, rh):
        sys.exit(f"{shot}: window is {sw}x{sh}, expected {rw}x{rh}")
    close = sum(1 for i in range(0, len(rp), 3)
                if abs(sp[i] - rp[i]) + abs(sp[i + 1] - rp[i + 1]) + abs(sp[i + 2] - rp[i + 2]) <= 24)
    return close / (rw * rh)

for shot, ref in (('menu.ppm', 'menu_ref.ppm'), ('exit.ppm', 'exit_ref.ppm')):
    share = matching_share(shot, ref)
    print(f"{shot}: {share:.1%} of pixels match the picture")
    if share < 0.9:
        sys.exit(f"{shot} does not show its screen")
PY
status=$(cat status.txt)
[[ $status == "exit status 0" ]] || { echo "game ended with $status"; cat game.log; exit 1; }
[[ -s Config.cfg ]] || { echo "Config.cfg was not written"; exit 1; }
echo "menu shown, exit scene reached, ended with status 0, Config.cfg written"
