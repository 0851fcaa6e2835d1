#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A whole game in the browser, sent and verified: headless Chromium plays
the browser game from the real server, which checks replays with the real
verifier. The player aims at what differs from the empty battlefield (the
simulator draws it) and shoots, as a player looking at the screen would,
until the game is over; then the name goes in, the score is sent, and its
replay follows it. Checked:

- the score shows in the server's JSON table, verified, with the game's
  replay (so the browser's libraries are the ones the verifier has);
- after a reload the replay is in the browser's storage, the same bytes
  the server keeps.

  browser_replay.py SERVER SIM VERIFIER BUILD_DIR SITE WORK_DIR
"""
import base64
import collections
import json
import os
import shutil
import sys
import time
import urllib.request

from PIL import Image, ImageChops
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from game_page import GamePage, check, finish, share_alike, simulate, start_chromium, start_server, wait_for, \
    wait_until

server_program, sim, verifier, build, site, work = (os.path.abspath(argument) for argument in sys.argv[1:7])
NAME = "BROWSER"
# A game left alone ends in about 90 s of play; this player's last about
# two minutes.
GAME_SECONDS = 300

if not os.path.isfile(os.path.join(site, "index.html")):
    raise SystemExit(f"no browser game in {site}: run scripts/web")
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)

# The empty battlefield (the crosshair up in the score line, which the
# player ignores), the game-over screen, and the same with the name panel.
simulate(sim, build, os.path.join(work, "sim"), """start
move 230 60
click left 230 60
set SpawnChance 0
move 400 10
wait 4000
frames 2
screenshot scene.png
set GameOver true
frames 1
wait 1000
frames 2
screenshot over.png
wait 5000
key Esc
wait 500
move 230 60
click left 230 60
set SpawnChance 0
wait 4000
set Score 2600
set GameOver true
frames 1
wait 5000
frames 2
screenshot panel.png
""")
reference = {name: Image.open(os.path.join(work, "sim", name + ".png")).convert("RGB")
             for name in ("scene", "over", "panel")}
# Where the name panel shows on the game-over screen.
panel_box = ImageChops.difference(reference["over"], reference["panel"]).getbbox()

# The play area: below the score line, above the player's rifle.
TOP, BOTTOM = 50, 515
CELL = 8


def target(shot, x, y, spent):
    """Where to shoot: the middle of the upper body of the largest thing
    of a soldier's width that is not the empty battlefield, and not where
    shots have just gone in vain (a fallen soldier, smoke); or nothing."""
    differs = ImageChops.difference(shot, reference["scene"]).convert("L").point(lambda v: 255 if v > 40 else 0)
    differs.paste(0, (0, 0, 800, TOP))
    differs.paste(0, (0, BOTTOM, 800, 600))
    # The crosshair and the shot's own flash.
    for cx, cy, size in [(x, y, 24)] + [(sx, sy, 40) for sx, sy in spent]:
        differs.paste(0, (max(0, cx - size), max(0, cy - size), min(800, cx + size), min(600, cy + size)))
    cells = differs.resize((800 // CELL, 600 // CELL), Image.BOX)
    width, height = cells.size
    on = [value > 90 for value in cells.getdata()]
    seen = [False] * len(on)
    best = None
    for start in range(len(on)):
        if not on[start] or seen[start]:
            continue
        seen[start] = True
        todo, members = [start], []
        while todo:
            cell = todo.pop()
            members.append(cell)
            cx, cy = cell % width, cell // width
            for nx, ny in ((cx - 1, cy), (cx + 1, cy), (cx, cy - 1), (cx, cy + 1)):
                neighbour = ny * width + nx
                if 0 <= nx < width and 0 <= ny < height and on[neighbour] and not seen[neighbour]:
                    seen[neighbour] = True
                    todo.append(neighbour)
        xs, ys = [m % width for m in members], [m // width for m in members]
        wide = (max(xs) - min(xs) + 1) * CELL
        # Soldiers first: a tank takes twenty hits.
        rank = (wide <= 120, len(members))
        if len(members) >= 6 and (best is None or rank > best[0]):
            best = (rank, min(xs), max(xs), min(ys), max(ys))
    if best is None:
        return None
    _, x0, x1, y0, y1 = best
    return (x0 + x1 + 1) * CELL // 2, int((y0 + (y1 - y0 + 1) * 0.3) * CELL)


server, base = start_server(server_program, work, site, "--verifier", verifier, "--verify-poll", "0.1")
driver = start_chromium(work)
page = GamePage(driver, base, work)


def wait_until_panel():
    """Whether the name panel comes: the score reached the table."""
    return wait_until(lambda: share_alike(page.picture(), reference["over"], panel_box) < 0.5, 10)


def table_row():
    with urllib.request.urlopen(base + "/api/scores?period=all&all=1") as reply:
        rows = json.load(reply)["scores"]
    return next((row for row in rows if row["name"] == NAME), None)


def play():
    """One game, from Start Game to the game-over screen."""
    page.pointer(230, 60, click=True)
    started = time.monotonic()
    x, y, shots, recent = 230, 60, 0, []
    look = 0.0
    while time.monotonic() - started < GAME_SECONDS:
        shot = page.picture()
        now = time.monotonic()
        if now >= look:
            if share_alike(shot, reference["over"], (0, 0, 800, 300)) >= 0.9:
                return now - started, shots
            look = now + 2
        recent = [(t, sx, sy) for t, sx, sy in recent if now - t < 3]
        spent = [(sx, sy) for t, sx, sy in recent
                 if sum(abs(sx - ox) < 25 and abs(sy - oy) < 25 for _, ox, oy in recent) >= 3]
        aim = target(shot, x, y, spent)
        if aim:
            x, y = aim
            page.pointer(x, y, click=True)
            recent.append((now, x, y))
            shots += 1
    raise SystemExit(f"no game over within {GAME_SECONDS} s")


try:
    page.viewport(800, 600, loaded=False)
    page.load()
    page.settle()

    # A score must beat the local table's last to be sent; a game that did
    # not is left, and another played.
    for game in range(1, 4):
        played, shots = play()
        heard = collections.Counter(page.sounds())
        page.driver.execute_script("Module.soundsPlayed = []")
        print(f"game {game}: {played:.0f} s, {shots} shots; sounds heard: {dict(heard)}", flush=True)
        if wait_until_panel():
            break
        ActionChains(driver).send_keys(Keys.ENTER).perform()
        page.settle()
    else:
        raise SystemExit("no game of three reached the table")

    # The name goes in and the score is sent.
    stored = driver.execute_script("return Module.storedCount || 0")
    ActionChains(driver).send_keys(NAME.lower()).perform()
    page.settle()
    ActionChains(driver).send_keys(Keys.ENTER).perform()

    row = wait_for("the score in the server's table", table_row, 30)
    # "unverified" until its replay arrives (the upload follows the
    # submission), "pending" while it is re-run.
    row = wait_for("the score's verification",
                   lambda: (lambda r: r if r["state"] not in ("unverified", "pending") else None)(table_row()), 60)
    check(row["verified"], f"the browser's score {row['score']} is verified: {row}")
    replay = urllib.request.urlopen(base + row["replay"]).read() if "replay" in row else b""
    check(replay.startswith(b"\x89ZRP"), f"the server keeps its replay ({len(replay)} bytes)")

    # Stored, then read back after a reload.
    wait_for("the replay stored", lambda: driver.execute_script("return Module.storedCount || 0") > stored, 10)
    page.load()
    kept = driver.execute_script("""
        const folder = '/zarvenok/replays';
        const names = FS.analyzePath(folder).exists ? FS.readdir(folder).filter(n => n.endsWith('.zrp')) : [];
        return names.map(n => {
            const bytes = FS.readFile(folder + '/' + n);
            let text = '';
            for (const b of bytes) text += String.fromCharCode(b);
            return [n, btoa(text)];
        });""")
    files = {name: base64.b64decode(data) for name, data in kept}
    check(replay in files.values(),
          f"after a reload the browser's storage holds the replay the server has: {sorted(files)}")
finally:
    page.print_console()
    driver.quit()
    server.terminate()
    server.wait(10)
    with open(os.path.join(work, "server.err")) as log:
        print(log.read()[-2000:])

finish()
