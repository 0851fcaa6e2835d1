#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Pages of the site in headless Chromium at a phone's width and a desktop's,
driven over the DevTools protocol on a pipe: each page must fit the width it
is shown at (no sideways scrolling, no text past the edge), a table page
must show its rows, and a screenshot of each is kept.

  browser_layout.py CHROMIUM OUTDIR NAME=URL...   (a NAME starting with
  "table" is a table page)
"""
import base64
import json
import os
import subprocess
import sys

chromium, out = sys.argv[1:3]
pages = [argument.split("=", 1) for argument in sys.argv[3:]]
os.makedirs(out, exist_ok=True)

# The browser reads commands from its fd 3 and writes to its fd 4.
to_browser_read, to_browser_write = os.pipe()
from_browser_read, from_browser_write = os.pipe()


def wire():
    # Moved out of the way first, in case either pipe already sits on 3 or 4.
    read_end, write_end = os.dup(to_browser_read), os.dup(from_browser_write)
    os.dup2(read_end, 3)
    os.dup2(write_end, 4)


browser = subprocess.Popen(
    [chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage", "--no-first-run",
     "--remote-debugging-pipe", f"--user-data-dir={out}/profile", "about:blank"],
    preexec_fn=wire, close_fds=False,
    stdout=subprocess.DEVNULL, stderr=open(os.path.join(out, "chromium.err"), "w"), env=dict(os.environ, HOME=out))
os.close(to_browser_read)
os.close(from_browser_write)
commands = os.fdopen(to_browser_write, "wb")
replies = os.fdopen(from_browser_read, "rb")
serial = 0
session = None
pending_events = []


def read_message():
    data = bytearray()
    while True:
        byte = replies.read(1)
        if not byte:
            sys.exit("the browser closed its pipe")
        if byte == b"\0":
            return json.loads(data)
        data += byte


def call(method, **params):
    global serial
    serial += 1
    message = {"id": serial, "method": method, "params": params}
    if session is not None:
        message["sessionId"] = session
    commands.write(json.dumps(message).encode() + b"\0")
    commands.flush()
    while True:
        reply = read_message()
        if reply.get("id") == serial:
            if "error" in reply:
                sys.exit(f"{method}: {reply['error']}")
            return reply["result"]
        pending_events.append(reply)


def wait_for(event):
    while True:
        for i, message in enumerate(pending_events):
            if message.get("method") == event:
                del pending_events[i]
                return message
        pending_events.append(read_message())


MEASURE = """JSON.stringify({
  viewport: !!document.querySelector('meta[name=viewport]'),
  inner: window.innerWidth,
  scroll: document.documentElement.scrollWidth,
  right: Math.max(0, ...[...document.querySelectorAll('td, th, h1, nav, p')].map(e => e.getBoundingClientRect().right)),
  rows: document.querySelectorAll('#scores tbody tr').length,
})"""

failures = []
try:
    target = call("Target.createTarget", url="about:blank")["targetId"]
    session = call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    call("Page.enable")
    for screen, width, height, mobile in (("phone", 360, 740, True), ("desktop", 1280, 800, False)):
        call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=2 if mobile else 1,
             mobile=mobile)
        for name, url in pages:
            call("Page.navigate", url=url)
            wait_for("Page.loadEventFired")
            page = json.loads(call("Runtime.evaluate", expression=MEASURE, returnByValue=True)["result"]["value"])
            shot = call("Page.captureScreenshot", format="png", captureBeyondViewport=True)["data"]
            with open(os.path.join(out, f"{name}-{screen}.png"), "wb") as png:
                png.write(base64.b64decode(shot))
            print(f"layout: {name} on a {screen} {width} px wide: the page is {page['scroll']} px wide, its "
                  f"rightmost text ends at {page['right']:.0f} px, {page['rows']} table rows")
            where = f"{name} on a {screen}"
            if not page["viewport"]:
                failures.append(f"{where}: no viewport")
            if page["inner"] != width:
                failures.append(f"{where}: shown {page['inner']} px wide, not {width}")
            if page["scroll"] > page["inner"] or page["right"] > page["inner"]:
                failures.append(f"{where}: the page does not fit")
            if name.startswith("table") and page["rows"] == 0:
                failures.append(f"{where}: no rows")
finally:
    browser.kill()
    browser.wait()

if failures:
    sys.exit("layout: FAILED: " + "; ".join(failures))
