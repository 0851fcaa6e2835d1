# SPDX-License-Identifier: GPL-3.0-or-later
"""What the browser tests share: the real server on loopback, headless
Chromium through Selenium and chromedriver, the game's page in it, and
waiting with a deadline."""
import os
import re
import shutil
import subprocess
import time

from PIL import Image, ImageChops
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder

failures = []


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message, flush=True)
    if not condition:
        failures.append(message)


def finish():
    if failures:
        raise SystemExit(f"{len(failures)} check(s) failed")


def wait_for(what, test, seconds=20.0):
    deadline = time.monotonic() + seconds
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > deadline:
            raise SystemExit(f"gave up waiting for {what}")
        time.sleep(0.05)


def wait_until(test, seconds):
    """Whether the test passes within the time (no failure when it does not)."""
    deadline = time.monotonic() + seconds
    while not test():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def share_alike(shot, reference, box=None):
    """The share of pixels within a small distance of the reference's."""
    if box:
        shot, reference = shot.crop(box), reference.crop(box)
    difference = ImageChops.difference(shot.convert("RGB"), reference.convert("RGB"))
    close = sum(1 for r, g, b in difference.getdata() if r + g + b <= 24)
    return close / (difference.width * difference.height)


def simulate(sim, build, folder, script):
    """Runs a simulator script in a folder of its own beside the build's
    Data/ and Music/; its standard output."""
    os.makedirs(folder)
    for name in ("Data", "Music"):
        os.symlink(os.path.join(build, name), os.path.join(folder, name))
    with open(os.path.join(folder, "script.sim"), "w") as file:
        file.write(script)
    return subprocess.run([sim, "script.sim"], cwd=folder, check=True, capture_output=True, text=True).stdout


def start_server(program, work, site, *more):
    """The server on a free port with its database in the work folder; the
    process and its address."""
    server = subprocess.Popen([program, "--listen", "127.0.0.1", "--port", "0", "--rate", "0",
                               "--sqlite", os.path.join(work, "scores.db"), "--play", site, *more],
                              stdout=subprocess.PIPE, stderr=open(os.path.join(work, "server.err"), "w"), text=True)
    line = server.stdout.readline()
    match = re.match(r"listening on (\S+)", line)
    if not match:
        server.kill()
        raise SystemExit("the server did not start: " + line)
    return server, "http://" + match.group(1)


def start_chromium(work):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--no-first-run",
                 "--enable-unsafe-swiftshader", f"--user-data-dir={work}/profile"):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(shutil.which("chromedriver") or "/usr/bin/chromedriver"),
                            options=options)


class GamePage:
    """The game's page in the browser, as a player and a test see it."""

    def __init__(self, driver, base, work):
        self.driver, self.base, self.work = driver, base, work

    def viewport(self, width, height, loaded=True):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        if loaded:
            wait_for(f"a {width}x{height} canvas", lambda: self.driver.execute_script(
                "const c = document.getElementById('canvas');"
                "return c.width === arguments[0] && c.height === arguments[1];", width, height))

    def frames(self):
        return self.driver.execute_script("return window.Module && Module.framesShown || 0")

    def settle(self, count=3):
        """Waits until the game has shown a few more frames."""
        target = self.frames() + count
        wait_for(f"{count} more frames", lambda: self.frames() >= target)

    def picture(self):
        """The canvas as shown, brought to the frame's 800 x 600."""
        path = os.path.join(self.work, "shot.png")
        self.driver.find_element("id", "canvas").screenshot(path)
        shot = Image.open(path).convert("RGB")
        return shot if shot.size == (800, 600) else shot.resize((800, 600), Image.BOX)

    def pointer(self, x, y, click=False):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(x, y)
        if click:
            actions.pointer_action.click()
        actions.perform()

    def sounds(self):
        return self.driver.execute_script("return Module.soundsPlayed.slice()")

    def load(self):
        """Opens the game's page; the seconds until its first frame."""
        started = time.monotonic()
        self.driver.get(self.base + "/play/")
        wait_for("the first frame", self.frames, 30)
        # Sounds are reported from now on.
        self.driver.execute_script("Module.soundsPlayed = []")
        return time.monotonic() - started

    def print_console(self):
        for entry in self.driver.get_log("browser"):
            print("browser:", entry.get("message", ""))
