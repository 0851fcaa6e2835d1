#!/usr/bin/env bash
# The online table in headless Chromium: scores submitted the way the game
# sends them must show best first, escaped, in the page's text, and the page
# must render to a screenshot; then, with the widest row there can be, the
# table and the home page must fit a phone 360 px wide and a desktop.
#   browser_table.sh SERVER LOADRUN OUTDIR
set -euo pipefail
server=$1 loadrun=$2 out=$3
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

"$server" --listen 127.0.0.1 --port 0 --sqlite "$out/scores.db" >"$out/server.out" 2>"$out/server.err" &
pid=$!
for _ in $(seq 1 100); do
  grep -q '^listening on' "$out/server.out" 2>/dev/null && break
  sleep 0.1
done
port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$out/server.out")
[[ -n $port ]] || { echo "the server did not start" >&2; cat "$out/server.err" >&2; exit 1; }
base="http://127.0.0.1:$port"

"$loadrun" seed "$base" BRAVO 2500 ALPHA CHARLIE 900 "" ALPHA 7100 REDS DELTA 2500 BLUES

url="$base/cgi/version.pl?prg=Zarvenok&show&type=0"
browse() {
  HOME="$out/home" timeout 90 "$chromium" --headless=new --no-sandbox --disable-gpu \
    --disable-dev-shm-usage --no-first-run --user-data-dir="$out/home/profile" "$@" 2>>"$out/chromium.err"
}
browse --dump-dom "$url" >"$out/table.html"
browse --window-size=900,700 --screenshot="$out/table.png" "$url" >/dev/null

python3 - "$out/table.html" "$out/table.png" <<'PY'
import re, sys
html = open(sys.argv[1], encoding="utf-8").read()
rows = re.findall(r"<tr><td[^>]*>(\d+)</td><td[^>]*>([^<]*)</td><td[^>]*>(\d+)</td><td[^>]*>([^<]*)</td>", html)
got = [(int(rank), name, int(score), squad) for rank, name, score, squad in rows]
want = [(1, "ALPHA", 7100, "REDS"), (2, "BRAVO", 2500, "ALPHA"), (3, "DELTA", 2500, "BLUES"), (4, "CHARLIE", 900, "")]
if got != want:
    sys.exit(f"table rows in the browser: {got}, expected {want}")
png = open(sys.argv[2], "rb").read()
if not png.startswith(b"\x89PNG\r\n\x1a\n") or len(png) < 5000:
    sys.exit(f"no usable screenshot ({len(png)} bytes)")
print(f"browser: {len(got)} rows in order, screenshot {len(png)} bytes")
PY

# The widest name, score and squad the game can send.
"$loadrun" seed "$base" WWWWWWWWWW 100000000 MMMMMMMMMM
python3 "$(dirname "$0")/browser_layout.py" "$chromium" "$out/layout" "table=$url" "week=$base/cgi/version.pl?prg=Zarvenok&show&type=0&period=week" "home=$base/"
