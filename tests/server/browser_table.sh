#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The online table in headless Chromium: scores submitted the way the game
# sends them must show best first, escaped, in the page's text, and the page
# must render to a screenshot; a score sent with its replay and verified
# must show in the default table with its mark linking to the replay; then,
# with the widest row there can be, the tables and the home page must fit a
# phone 360 px wide and a desktop.
#   browser_table.sh SERVER LOADRUN OUTDIR VERIFIER
set -euo pipefail
server=$1 loadrun=$2 out=$3 verifier=$4
chromium=$(command -v chromium || true)
if [[ -z $chromium ]]; then
  echo "chromium is not installed (scripts/deps installs it)" >&2
  exit 1
fi

rm -rf "$out"
mkdir -p "$out/home"
pid=
cleanup() { if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi; }
trap cleanup EXIT

"$server" --listen 127.0.0.1 --port 0 --sqlite "$out/scores.db" --verifier "$verifier" --verify-poll 0.1 \
  >"$out/server.out" 2>"$out/server.err" &
pid=$!
for _ in $(seq 1 100); do
  grep -q '^listening on' "$out/server.out" 2>/dev/null && break
  sleep 0.1
done
port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$out/server.out")
[[ -n $port ]] || { echo "the server did not start" >&2; cat "$out/server.err" >&2; exit 1; }
base="http://127.0.0.1:$port"

"$loadrun" seed "$base" BRAVO 2500 ALPHA CHARLIE 900 "" ALPHA 7100 REDS DELTA 2500 BLUES
"$loadrun" played "$base" VICTOR 5000 4
verified="$base/cgi/version.pl?prg=Zarvenok&show&type=0"
for _ in $(seq 1 100); do
  curl -sf "$verified" | grep -q VICTOR && break
  sleep 0.1
done

url="$base/cgi/version.pl?prg=Zarvenok&show&type=0&all=1"
browse() {
  HOME="$out/home" timeout 90 "$chromium" --headless=new --no-sandbox --disable-gpu \
    --disable-dev-shm-usage --no-first-run --user-data-dir="$out/home/profile" "$@" 2>>"$out/chromium.err"
}
browse --dump-dom "$url" >"$out/table.html"
browse --window-size=900,700 --screenshot="$out/table.png" "$url" >/dev/null

python3 - "$out/table.html" "$out/table.png" <<'PY'
import re, sys
html = open(sys.argv[1], encoding="utf-8").read()
rows = re.findall(r"<tr><td[^>]*>(\d+)</td><td[^>]*>([^<]*)</td><td[^>]*>(\d+)</td><td[^>]*>(?:<a[^>]*>[^<]*</a>)?</td><td[^>]*>([^<]*)</td>", html)
got = [(int(rank), name, int(score), squad) for rank, name, score, squad in rows]
want = [(1, "ALPHA", 7100, "REDS"), (2, "VICTOR", 5000, ""), (3, "BRAVO", 2500, "ALPHA"), (4, "DELTA", 2500, "BLUES"),
        (5, "CHARLIE", 900, "")]
if got != want:
    sys.exit(f"table rows in the browser: {got}, expected {want}")
png = open(sys.argv[2], "rb").read()
if not png.startswith(b"\x89PNG\r\n\x1a\n") or len(png) < 5000:
    sys.exit(f"no usable screenshot ({len(png)} bytes)")
print(f"browser: {len(got)} rows in order, screenshot {len(png)} bytes")
PY

# The verified table: only the verified score, with its mark, level and game time.
browse --dump-dom "$verified" >"$out/verified.html"
browse --window-size=900,700 --screenshot="$out/verified.png" "$verified" >/dev/null
python3 - "$out/verified.html" "$base" <<'PY'
import re, sys, urllib.request
html = open(sys.argv[1], encoding="utf-8").read()
rows = re.findall(r"<tr><td[^>]*>(\d+)</td><td[^>]*>([^<]*)</td><td[^>]*>(\d+)</td>"
                  r"<td><a class=\"v\" href=\"(/api/replays/\d+)\"[^>]*>\u2713</a></td><td[^>]*>[^<]*</td>"
                  r"<td[^>]*>(\d+)</td><td[^>]*>([0-9:]+)</td>", html)
if [(r[0], r[1], r[2], r[4], r[5]) for r in rows] != [("1", "VICTOR", "5000", "4", "0:01")]:
    sys.exit(f"verified table in the browser: {rows}")
replay = urllib.request.urlopen(sys.argv[2] + rows[0][3]).read()
if not replay.startswith(b"\x89ZRP"):
    sys.exit(f"the mark's link does not give the replay: {replay[:16]!r}")
print(f"browser: the verified score with its mark, level and time; its replay {len(replay)} bytes")
PY

# The widest name, score and squad the game can send.
"$loadrun" seed "$base" WWWWWWWWWW 100000000 MMMMMMMMMM
"$loadrun" played "$base" WWWWWWWWWW 100000000 99
for _ in $(seq 1 100); do
  curl -sf "$verified" | grep -q WWWWWWWWWW && break
  sleep 0.1
done
python3 "$(dirname "$0")/browser_layout.py" "$chromium" "$out/layout" "table=$url" "table-verified=$verified" "week=$base/cgi/version.pl?prg=Zarvenok&show&type=0&period=week&all=1" "home=$base/"
