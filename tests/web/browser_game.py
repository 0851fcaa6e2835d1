#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser game in headless Chromium, driven by Selenium through
chromedriver, loaded from the real score server on loopback:

- the page loads and shows its first frame; the menu is the picture the
  simulator draws of it; Visit Web Site opens the server's home page, which
  offers the game;
- the pointer maps to frame pixels exactly on a canvas scaled by 1.5: a
  button lights at the last pixel of its rectangle and not one pixel beyond;
- Alt+Enter takes the whole screen through the browser, and gives it back;
- sound starts on the first click; Start Game plays the intro's sounds and
  leads to the battlefield the simulator draws;
- a shot plays what the simulator plays for it, and Esc opens the exit
  question (the page's title says so);
- sound switched off on the options screen stays off after a reload;
- without a server, Visit Web Site says so in a box over the canvas that
  holds the game until Enter.

Prints the download size and the time to the first frame; they are figures,
not limits.

  browser_game.py SERVER SIM BUILD_DIR SITE WORK_DIR
"""
import os
import re
import shutil
import sys

from PIL import Image
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from game_page import GamePage, check, finish, share_alike, simulate, start_chromium, start_server, wait_for, \
    wait_until

server_program, sim, build, site, work = (os.path.abspath(argument) for argument in sys.argv[1:6])


# ---------------------------------------------------------------- references
if not os.path.isfile(os.path.join(site, "index.html")):
    raise SystemExit(f"no browser game in {site}: run scripts/web")
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
sim_output = simulate(sim, build, os.path.join(work, "sim"), """start
frames 2
screenshot menu.png
move 540 60
frames 2
screenshot lit.png
move 541 60
frames 2
screenshot unlit.png
sounds
print GameState
move 230 60
click left 230 60
wait 4000
frames 2
screenshot battlefield.png
sounds
print LevelIntro
set SpawnChance 0
move 400 40
click left 400 40
sounds
print ShotFired
""")
sections = re.split(r"^(?:GameState|LevelIntro|ShotFired)=.*$", sim_output, flags=re.M)
played = [re.findall(r"^play (\S+)", section, flags=re.M) for section in sections]
start_sounds, shot_sounds = played[1], played[2]
reference = {name: Image.open(os.path.join(work, "sim", name + ".png")).convert("RGB")
             for name in ("menu", "lit", "unlit", "battlefield")}
print(f"the simulator plays {start_sounds} for Start Game and {shot_sounds} for a shot")

# ---------------------------------------------------------------- server
server, base = start_server(server_program, work, site)


# ---------------------------------------------------------------- browser
driver = start_chromium(work)
page = GamePage(driver, base, work)
viewport, frames, settle, picture, pointer, sounds, load = (page.viewport, page.frames, page.settle, page.picture,
                                                           page.pointer, page.sounds, page.load)


def battlefield(least):
    share = share_alike(picture(), reference["battlefield"])
    return share if share >= least else 0


try:
    viewport(800, 600, loaded=False)
    seconds = load()
    first = driver.execute_script("return Module.firstFrameAt")
    print(f"figure: first frame {first / 1000:.2f} s after navigation ({seconds:.2f} s as the test saw it)")
    # What the browser downloaded, compressed as the server sent it.
    files = driver.execute_script(
        "return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))"
        ".map(e => [e.name.split('/').pop().split('?')[0] || 'index.html', e.encodedBodySize])")
    print(f"figure: download {sum(size for _, size in files) / 1e6:.2f} MB compressed: {files}")
    settle()
    share = share_alike(picture(), reference["menu"])
    check(share >= 0.9, f"the menu matches the simulator's picture ({share:.1%} of pixels)")
    check(share_alike(Image.new("RGB", (800, 600)), reference["menu"]) < 0.9, "a black canvas would not pass")

    # Visit Web Site opens the home page of the server the game came from,
    # which links back to the game, in a tab of its own.
    game_tab = driver.current_window_handle
    audio = "const a = Module.SDL2 && Module.SDL2.audioContext; return a ? a.state : 'none'"
    before = driver.execute_script(audio)
    pointer(370, 420, click=True)
    # The first click also lets sound start.
    wait_for("running sound", lambda: driver.execute_script(audio) == "running", 10)
    check(before != "running", f"sound waits for the first click ({before} before it, running after)")
    wait_for("the web site's tab", lambda: len(driver.window_handles) == 2, 10)
    driver.switch_to.window([handle for handle in driver.window_handles if handle != game_tab][0])
    wait_for("the home page", lambda: driver.execute_script("return document.readyState") == "complete", 10)
    check(driver.current_url == base + "/" and "Play in your browser" in driver.page_source,
          f"Visit Web Site opens {driver.current_url}, which offers the game")
    driver.close()
    driver.switch_to.window(game_tab)
    settle()

    # On a canvas scaled by 1.5, x = 540 is the button's last column.
    viewport(1200, 900)
    settle()
    button = (215, 32, 541, 90)
    for css_x, expected in ((810, "lit"), (811, "lit"), (812, "unlit")):
        pointer(css_x, 90)
        settle()
        shot = picture()
        lit, unlit = share_alike(shot, reference["lit"], button), share_alike(shot, reference["unlit"], button)
        check((lit > unlit) == (expected == "lit"),
              f"pointer at {css_x / 1.5:.2f} on the frame leaves the button {expected} ({lit:.0%} / {unlit:.0%})")
    viewport(800, 600)
    settle()

    # Alt+Enter asks the browser for full screen, and again leaves it.
    for wanted in (True, False):
        ActionChains(driver).key_down(Keys.ALT).send_keys(Keys.ENTER).key_up(Keys.ALT).perform()
        shown = wait_until(lambda: driver.execute_script("return document.fullscreenElement !== null") == wanted, 5)
        check(shown, "Alt+Enter " + ("shows the game on the whole screen" if wanted else "brings back the page"))
    viewport(800, 600)
    settle()

    # Start Game.
    driver.execute_script("Module.soundsPlayed = []")
    pointer(230, 60, click=True)
    wait_for("the intro's sounds", lambda: len(sounds()) >= len(start_sounds), 15)
    check(sounds()[:len(start_sounds)] == start_sounds, f"Start Game plays {start_sounds}: {sounds()}")
    # Enemies come at random: most of the picture is still the scene's.
    best = wait_for("the battlefield", lambda: battlefield(0.85), 20)
    check(True, f"the battlefield after the intro matches the simulator's ({best:.1%} of pixels)")

    # A shot into the sky, once the intro is over: until then shots are
    # refused without a sound.
    heard = len(sounds())

    def shot_played():
        """The shot's sounds in their order since the click; enemies that
        came meanwhile may add theirs."""
        rest = iter(sounds()[heard:])
        return all(any(name == played for played in rest) for name in shot_sounds)

    def shot_heard():
        pointer(400, 40, click=True)
        return wait_until(shot_played, 0.5)

    check(wait_until(shot_heard, 10), f"a shot plays {shot_sounds}: {sounds()[heard:]}")

    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    title = wait_for("the exit question", lambda: "[Pause]" in driver.title and driver.title, 5)
    check(True, f"Esc opens the exit question (title \"{title}\")")

    # Options: sound off, then leave (which saves), then come back.
    driver.refresh()
    wait_for("the first frame", frames, 30)
    settle()
    pointer(300, 240, click=True)
    settle()
    stored = driver.execute_script("return Module.storedCount || 0")
    pointer(400, 330, click=True)
    settle()
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    wait_for("the settings stored", lambda: driver.execute_script("return Module.storedCount || 0") > stored, 10)
    load()
    settle()
    pointer(230, 60, click=True)
    # The click's own sound would come before the scene does.
    wait_for("the battlefield's scene", lambda: battlefield(0.6), 10)
    check(sounds() == [], f"after a reload the game stays silent, as set: {sounds()}")

    # With no server named (the page's own overridden before it starts),
    # Visit Web Site says so in a box over the canvas; the game waits for OK.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
        Object.defineProperty(window, 'Module', {configurable: true,
            set(value) { value.gameEnvironment = {ZARVENOK_SERVER: ''}; this.testedModule = value; },
            get() { return this.testedModule; }});"""})
    load()
    settle()
    pointer(370, 420, click=True)
    text = wait_for("the message box", lambda: driver.execute_script(
        "const box = document.querySelector('#stage .message'); return box && box.textContent"), 10)
    shown = frames()
    # Thirty of the browser's own frames go by meanwhile.
    driver.execute_async_script("const done = arguments[0]; let n = 0;"
                                "const tick = () => (++n < 30 ? requestAnimationFrame(tick) : done());"
                                "requestAnimationFrame(tick);")
    check("no web site to open" in text and frames() == shown,
          f"a message box over the canvas holds the game: \"{text}\" ({frames() - shown} frames meanwhile)")
    ActionChains(driver).send_keys(Keys.ENTER).perform()
    wait_for("the box to close", lambda: driver.execute_script("return !document.querySelector('.message')"), 5)
    settle()
    check(True, "Enter closes the box and the game goes on")
finally:
    page.print_console()
    driver.quit()
    server.terminate()
    server.wait(10)

finish()
