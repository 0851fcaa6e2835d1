# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced inside xvfb-run by the end-to-end tests: starts ./zarvenok (or
# $GAME_COMMAND, an installed game) with $GAME_ARGS and gives them the game's
# window and the helpers to look at it and use it.
# Expects COMPARE (compare_ppm.py) and CHECK (check_picture.py) in the
# environment.

# shellcheck disable=SC2086
"${GAME_COMMAND:-./zarvenok}" ${GAME_ARGS:-} > game.log 2>&1 &
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

# Waits until the window shows NAME_ref.ppm and passes any checks that
# follow (a slow start is no failure).
shows() {
  local name=$1
  shift
  for i in $(seq 40); do
    shot "$name.ppm"
    if "$COMPARE" "$name.ppm" "${name}_ref.ppm" > "$name.match"; then
      [[ $# -eq 0 ]] && { cat "$name.match"; return 0; }
      "$CHECK" "$name.ppm" "$@" > "$name.check" && { cat "$name.match" "$name.check"; return 0; }
    fi
    sleep 0.25
  done
  cat "$name.match" "$name.check" 2>/dev/null || true
  return 1
}

# Waits until a screenshot NAME.ppm passes the checks that follow.
passes() {
  local name=$1 tries=$2
  shift 2
  for i in $(seq "$tries"); do
    shot "$name.ppm"
    "$CHECK" "$name.ppm" "$@" > "$name.check" && { cat "$name.check"; return 0; }
    sleep 0.25
  done
  cat "$name.check"
  return 1
}

# The move is synchronous: the pointer is there, and its motion queued ahead
# of the press, before the click is sent.
click() { xdotool mousemove --sync --window "$wid" "$1" "$2" click 1; }

# The program's end: waits for it and leaves "exit status N" in status.txt.
ended() {
  for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "the game did not end"
  local status=0
  wait $pid || status=$?
  echo "exit status $status" > status.txt
}
