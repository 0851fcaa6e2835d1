#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the walking lines of art.list for the four soldier kinds.

A soldier walks 1 pixel a frame and its animation advances
rate * 0.015 * 16 patterns a frame, so each kind covers its own distance
per pattern. The planted foot must move back by exactly that distance
from one pattern to the next, or it slides on the ground. Each foot is
planted for half the cycle (both at patterns 0 and n/2) and swings
forward, lifted, for the other half. The hip rides highest over the
planted foot (the bob); the arms and weapon rock once a step.

Run it after changing a gait and paste its lines over the "_move" lines:
    tools/art/gait.py
"""
import math

# kind: patterns, animation rate, scale k, picture size, hip x (walking
# right), ankle depth at heel strike, bob, lift, lean, sway, stance centre
# (figure units: the figure is drawn at scale k about its hip).
KINDS = {
    1: dict(n=8, rate=0.5, k=1.0, size="70x116", px=28, hc=43.5, bob=2.6, lift=7, lean=6, sway=2.5, c=-1),
    2: dict(n=6, rate=1 / 3, k=1.0, size="70x118", px=27, hc=43, bob=2.6, lift=8, lean=9, sway=3, c=-1),
    3: dict(n=12, rate=1.0, k=0.96, size="66x112", px=25, hc=38, bob=2.2, lift=6, lean=15, sway=1.5, c=1),
    4: dict(n=6, rate=1 / 3, k=1.08, size="70x128", px=27, hc=42.5, bob=2.7, lift=7, lean=3, sway=3.5, c=-1),
}


def fmt(v):
    text = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def foot(phase, stride, c, lift):
    """Ankle forward offset, lift and toe pitch of a foot at this phase."""
    x = c + stride / 2 - 2 * stride * (0.5 - abs(phase - 0.5))
    up = lift * max(0.0, -math.sin(2 * math.pi * phase))
    pitch = 0.0
    if phase > 0.5:
        u = (phase - 0.5) * 2
        pitch = 22 * (1 - u) - 14 * u
    return x, up, pitch


def lines(kind, g):
    step = 1 / (g["rate"] * 0.015 * 16)  # picture pixels per pattern
    stride = g["n"] * step / 2 / g["k"]  # figure units per step
    cols = {name: [] for name in ("xa", "ya", "pa", "xb", "yb", "pb", "sw")}
    for i in range(g["n"]):
        p = i / g["n"]
        hip = g["hc"] + g["bob"] * abs(math.sin(2 * math.pi * p))
        for side, phase in (("a", p), ("b", (p + 0.5) % 1)):
            x, up, pitch = foot(phase, stride, g["c"], g["lift"])
            cols["x" + side].append(x)
            cols["y" + side].append(hip - up)
            cols["p" + side].append(pitch)
        cols["sw"].append(g["sway"] * math.sin(4 * math.pi * p + 1.2))
    frames = " ".join(f"@{name}=" + ",".join(fmt(v) for v in values) for name, values in cols.items())
    width = int(g["size"].split("x")[0])
    common = f"size={g['size']} style=soldier,kind{kind} lean={g['lean']} ground=1 frames={g['n']}"
    out = []
    for suffix, px, flip in (("_move", g["px"], 1), ("_move_back", width - g["px"], -1)):
        name = f"terror{kind}{suffix}".ljust(18)
        out.append(f"image {name} battlefield/soldier.svg {common} px={px} flip={flip} {frames}")
    return out, step


if __name__ == "__main__":
    for kind, g in KINDS.items():
        out, step = lines(kind, g)
        print(f"# kind {kind}: {g['n']} patterns, {fmt(step)} px a pattern")
        print("\n".join(out))
