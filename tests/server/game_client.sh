#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game's own client (the simulator with `http real`) against the real
# score server on the loopback address: a name typed after a game over is
# sent and appears in the online table; a server that is down and one that
# never answers end in "Can't connect to server!" with the score kept.
#   game_client.sh SIM SERVER BUILD_DIR WORK_DIR
set -euo pipefail
sim=$1 server=$2 build=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
ln -s "$build/Data" "$work/Data"
ln -s "$build/Music" "$work/Music"
cd "$work"

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

"$server" --port 0 --sqlite scores.db > server.log 2>&1 &
pids+=($!)
for i in $(seq 100); do grep -q "^listening on" server.log && break; sleep 0.1; done
address=$(sed -n 's/^listening on \(.*\)$/\1/p' server.log)
[[ -n $address ]] || { cat server.log; echo "the server did not start"; exit 1; }

# A game over with 2600 points; the name typed on the panel and Enter.
game_over() {
  cat <<SIM
start
http real
move 230 60
click left 230 60
set SpawnChance 0
wait 4000
set Score $1
set GameOver true
frames 1
wait 5000
type $2
frames 1
key Enter
print GameState HighScores Message
SIM
}

game_over 2600 ace > sent.sim
ZARVENOK_SERVER="http://$address" "$sim" sent.sim > sent.out
cat sent.out
grep -q "^Message=none$" sent.out || { echo "the server refused the game's client"; cat server.log; exit 1; }
grep -q "^HighScores=.*ACE:2600" sent.out || { echo "the score is not in the local table"; exit 1; }
table=$(curl -sf "http://$address/api/scores?period=all&all=1")
echo "$table"
python3 -c '
import json, sys
rows = json.loads(sys.argv[1])
rows = rows.get("scores", rows.get("rows", rows)) if isinstance(rows, dict) else rows
found = [r for r in rows if r.get("name") == "ACE" and int(r.get("score")) == 2600]
sys.exit(0 if found else 1)
' "$table" || { echo "the online table does not hold ACE with 2600"; exit 1; }
curl -sf "http://$address/cgi/version.pl?prg=Zarvenok&show&type=0&all=1" | grep -q "ACE" || { echo "the table page does not show ACE"; exit 1; }

# Down: nothing listens on the port any more.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
rm -rf Config.cfg
game_over 2700 bob > down.sim
ZARVENOK_SERVER="http://127.0.0.1:$port" "$sim" down.sim > down.out
cat down.out
grep -q "^Message=Can't connect to server!$" down.out || { echo "no message for a server that is down"; exit 1; }
grep -q "^HighScores=.*BOB:2700" down.out || { echo "the score was lost with the server down"; exit 1; }

# Hanging: a listener that accepts and never answers; the client gives up.
python3 -c '
import socket, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", 0)); s.listen(8)
print(s.getsockname()[1], flush=True)
held = []
while True:
    c, _ = s.accept(); held.append(c)
' > hang.port &
pids+=($!)
for i in $(seq 50); do [[ -s hang.port ]] && break; sleep 0.1; done
rm -rf Config.cfg
game_over 2800 cyd > hang.sim
ZARVENOK_SERVER="http://127.0.0.1:$(cat hang.port)" "$sim" hang.sim > hang.out
cat hang.out
grep -q "^Message=Can't connect to server!$" hang.out || { echo "no message for a server that never answers"; exit 1; }
grep -q "^HighScores=.*CYD:2800" hang.out || { echo "the score was lost with the server hanging"; exit 1; }
echo "sent and shown in the online table; down and hanging servers told, scores kept"
