#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the dying lines of art.list for the four soldier kinds.

Each kind falls its own way, in ten patterns: the rifleman is thrown onto
his back, the grenadier crumples to his knees and topples, the commando is
spun round and pitches onto his face, the machine-gunner staggers, drops
to one knee and goes down heavily. All fall to the right of where they
stood: the body's picture has its top-left corner where the soldier's was,
so the room is on that side. Pattern 0 stands where the firing soldier
stands (his feet at px, as in "_fight"), and the last three lie still on
the ground: the game keeps the body until the effects clear.

Poses are given by the hips, the torso and the arms; the legs reach the
ankles by bending the knees (a two-bone reach, like the walks'). Angles
are compass bearings in degrees: 0 up, 90 right, 180 down, 270 left.
The puppet is soldier.svg's "falling" view.

Run it after changing a fall and paste its lines over the "_dead" lines:
    tools/art/fall.py
"""
import math

THIGH, SHIN = 24.0, 22.0
STAND_Y = -54.0  # the hips above the ground, standing
FOOT = 8.0  # the ankle above the sole

# kind: picture size (the walk's height, wider for the body on the ground),
# the feet's x (the firing soldier's), scale k, torso bulk.
KINDS = {
    1: dict(size="168x116", px=35, k=1.0, bulk=1.0),
    2: dict(size="168x118", px=35, k=1.0, bulk=1.0),
    3: dict(size="162x112", px=33, k=0.96, bulk=1.0),
    4: dict(size="184x128", px=35, k=1.08, bulk=1.25),
}


def fmt(v):
    text = f"{v:.1f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def bearing(dx, dy):
    return math.degrees(math.atan2(dx, -dy)) % 360


def reach(hip, ankle, bend):
    """Thigh and shin bearings that take the leg from hip to ankle, the
    knee bent to the side `bend` (+1 or -1) of the line between them."""
    dx, dy = ankle[0] - hip[0], ankle[1] - hip[1]
    d = min(math.hypot(dx, dy), THIGH + SHIN - 0.01)
    d = max(d, abs(THIGH - SHIN) + 0.01)
    ux, uy = dx / math.hypot(dx, dy), dy / math.hypot(dx, dy)
    a = (THIGH * THIGH - SHIN * SHIN + d * d) / (2 * d)
    h = math.sqrt(max(THIGH * THIGH - a * a, 0))
    nx, ny = -uy * bend, ux * bend
    knee = (hip[0] + a * ux + h * nx, hip[1] + a * uy + h * ny)
    end = (hip[0] + ux * d, hip[1] + uy * d)
    return bearing(knee[0] - hip[0], knee[1] - hip[1]), bearing(end[0] - knee[0], end[1] - knee[1])


# Each pose: hips (hx, hy), torso bearing tb, height ts, width tw, head
# tilt hd, face fc; ankles a1, a2 (his right leg, on our left, and his
# left) with the knees' bend; arms u1 l1 u2 l2; the weapon (gdx, gdy, gdr,
# shown from gunvis); the shadow's middle and reach (shx, shr).
BULK = [1.0]  # the kind being posed: its hips are 6 * bulk from the middle


def pose(hx, hy, tb, a1, a2, arms, gun, ts=1.0, tw=1.0, hd=0.0, fc=1, bend=(1, -1), shadow=(0, 0)):
    c, s = math.cos(math.radians(tb)), math.sin(math.radians(tb))
    hip1 = (hx - 6 * BULK[0] * c, hy - 6 * BULK[0] * s)
    hip2 = (hx + 6 * BULK[0] * c, hy + 6 * BULK[0] * s)
    q1, c1 = reach(hip1, a1, bend[0])
    q2, c2 = reach(hip2, a2, bend[1])
    u1, l1, u2, l2 = arms
    gdx, gdy, gdr = gun
    return dict(hx=hx, hy=hy, tb=tb, ts=ts, tw=tw, hd=hd, fc=fc, q1=q1, c1=c1, q2=q2, c2=c2,
                u1=u1, l1=l1, u2=u2, l2=l2, gdx=gdx, gdy=gdy, gdr=gdr, shx=shadow[0], shr=shadow[1])


STANDING = ((-12, -FOOT), (12, -FOOT))


def rifleman():
    """Thrown back: the shot lifts his arms and snaps his head back; he
    tips over his heels to the right, lands on his back, one knee up,
    and lies still."""
    L, R = STANDING
    return [
        pose(0, -53, 4, L, R, (200, 250, 64, 24), (16, -80, -70), ts=0.94, hd=-12),
        pose(4, -51, 12, (-11, -8), (13, -9), (250, 310, 44, 10), (36, -84, -130), ts=0.88, hd=-18),
        pose(10, -47, 26, (-9, -8), (15, -10), (338, 8, 28, 4), (54, -66, -190), ts=0.84, hd=-20),
        pose(18, -41, 44, (-6, -8), (17, -11), (352, 20, 60, 30), (66, -44, -250), ts=0.84, hd=-16, bend=(1, 1)),
        pose(27, -31, 62, (-4, -8), (18, -12), (10, 40, 96, 70), (72, -30, -320), ts=0.86, hd=-10, bend=(1, 1), shadow=(16, 8)),
        pose(34, -20, 78, (-4, -7), (12, -16), (30, 60, 126, 100), (72, -24, -356), ts=0.9, hd=-4, bend=(1, 1), shadow=(30, 20)),
        pose(38, -12, 90, (-8, -6), (4, -20), (14, 40, 150, 160), (72, -22, -362), ts=0.92, hd=-14, bend=(1, 1), shadow=(38, 30)),
        pose(38, -10, 92, (-10, -6), (0, -16), (40, 80, 140, 120), (72, -22, -362), ts=0.92, hd=4, bend=(1, 1), shadow=(40, 32)),
        pose(38, -9, 92, (-11, -6), (-4, -12), (56, 90, 132, 104), (72, -22, -362), ts=0.92, hd=10, bend=(1, 1), shadow=(40, 32)),
        pose(38, -9, 92, (-11, -6), (-4, -12), (58, 92, 132, 104), (72, -22, -362), ts=0.92, hd=12, bend=(1, 1), shadow=(40, 32)),
    ]


def grenadier():
    """Crumples: doubled over the hit, he sags onto his knees, sways and
    topples sideways, curled on his side."""
    L, R = STANDING
    return [
        pose(0, -53, -3, L, R, (160, 96, 200, 264), (-16, -44, 70), ts=0.9, hd=14),
        pose(1, -47, -2, L, R, (162, 100, 198, 262), (-14, -20, 88), ts=0.8, hd=22),
        pose(2, -39, 2, (-13, -9), (13, -9), (168, 120, 192, 250), (-10, -8, 96), ts=0.72, hd=26),
        pose(3, -30, 6, (-15, -16), (15, -16), (176, 150, 186, 220), (-8, -4, 96), ts=0.7, hd=30, bend=(-1, 1)),
        pose(5, -29, 16, (-15, -16), (15, -16), (184, 170, 176, 190), (-8, -4, 96), ts=0.68, hd=32, bend=(-1, 1)),
        pose(12, -25, 40, (-14, -14), (16, -14), (150, 110, 140, 150), (-8, -4, 96), ts=0.7, hd=24, bend=(-1, 1), shadow=(10, 10)),
        pose(22, -17, 66, (-8, -10), (12, -10), (130, 90, 120, 140), (-8, -4, 96), ts=0.76, hd=10, bend=(-1, -1), shadow=(22, 20)),
        pose(30, -11, 86, (-4, -6), (4, -8), (150, 100, 130, 160), (-8, -4, 96), ts=0.8, hd=16, fc=0, bend=(-1, -1), shadow=(32, 26)),
        pose(31, -10, 90, (-6, -6), (2, -7), (160, 110, 134, 170), (-8, -4, 96), ts=0.8, hd=20, fc=0, bend=(-1, -1), shadow=(32, 28)),
        pose(31, -10, 90, (-6, -6), (2, -7), (162, 112, 136, 172), (-8, -4, 96), ts=0.8, hd=22, fc=0, bend=(-1, -1), shadow=(32, 28)),
    ]


def commando():
    """Spun round: the hit turns him, his arm flies out, he shows his back
    as he goes over and pitches onto his face."""
    L, R = STANDING
    return [
        pose(0, -53, 4, L, R, (200, 235, 90, 130), (30, -70, -40), ts=0.98, tw=0.84, hd=10),
        pose(3, -51, 10, (-10, -8), (14, -9), (205, 250, 110, 150), (50, -44, -100), ts=0.96, tw=0.62, hd=16),
        pose(6, -48, 16, (-8, -8), (16, -11), (205, 250, 135, 165), (60, -18, -150), ts=0.94, tw=0.46, hd=20, fc=0),
        pose(12, -43, 30, (-6, -8), (18, -14), (185, 220, 150, 175), (64, -6, -178), ts=0.9, tw=0.7, hd=22, fc=0, bend=(1, 1)),
        pose(20, -35, 48, (-4, -8), (20, -16), (160, 180, 160, 175), (64, -3, -180), ts=0.86, tw=0.9, hd=16, fc=0, bend=(1, 1), shadow=(14, 8)),
        pose(28, -25, 66, (-3, -8), (16, -14), (120, 140, 150, 170), (64, -3, -180), ts=0.86, tw=1, hd=10, fc=0, bend=(1, 1), shadow=(26, 18)),
        pose(34, -14, 84, (-6, -7), (8, -12), (84, 100, 160, 150), (64, -3, -180), ts=0.88, tw=1, hd=4, fc=0, bend=(1, 1), shadow=(36, 28)),
        pose(36, -9, 92, (-10, -6), (2, -10), (70, 80, 176, 150), (64, -3, -180), ts=0.9, tw=1, hd=-6, fc=0, bend=(1, 1), shadow=(38, 30)),
        pose(36, -8, 92, (-12, -6), (-2, -8), (66, 76, 170, 140), (64, -3, -180), ts=0.9, tw=1, hd=-2, fc=0, bend=(1, 1), shadow=(38, 30)),
        pose(36, -8, 92, (-12, -6), (-2, -8), (64, 74, 170, 140), (64, -3, -180), ts=0.9, tw=1, hd=0, fc=0, bend=(1, 1), shadow=(38, 30)),
    ]


def gunner():
    """Goes down heavily: rocked back a step, the machine gun slips from
    his hands, he drops to one knee, then falls over onto his back."""
    L, R = STANDING
    return [
        pose(0, -53, -6, L, R, (200, 120, 160, 240), (-2, -46, 20), ts=0.94, hd=-10),
        pose(4, -52, 6, L, (20, -12), (215, 140, 145, 220), (0, -22, 60), ts=0.9, hd=-14, bend=(1, 1)),
        pose(6, -45, 10, (-10, -8), (22, -10), (205, 150, 150, 190), (2, -8, 86), ts=0.86, hd=-4, bend=(1, 1)),
        pose(8, -34, 14, (-13, -14), (22, -9), (190, 160, 150, 180), (4, -4, 90), ts=0.84, hd=8, bend=(-1, 1)),
        pose(11, -31, 24, (-13, -14), (22, -9), (175, 150, 140, 165), (4, -4, 90), ts=0.84, hd=12, bend=(-1, 1)),
        pose(18, -27, 46, (-12, -12), (22, -10), (120, 100, 110, 140), (4, -4, 90), ts=0.86, hd=0, bend=(-1, 1), shadow=(14, 10)),
        pose(26, -19, 70, (-10, -8), (18, -14), (60, 40, 120, 130), (4, -4, 90), ts=0.9, hd=-12, bend=(-1, 1), shadow=(26, 20)),
        pose(32, -12, 90, (-10, -6), (10, -20), (30, 20, 150, 170), (4, -4, 90), ts=0.92, hd=-16, bend=(1, 1), shadow=(34, 28)),
        pose(33, -10, 92, (-12, -6), (4, -16), (56, 70, 140, 140), (4, -4, 90), ts=0.92, hd=0, bend=(1, 1), shadow=(34, 30)),
        pose(33, -10, 92, (-12, -6), (4, -16), (56, 70, 140, 140), (4, -4, 90), ts=0.92, hd=2, bend=(1, 1), shadow=(34, 30)),
    ]


FALLS = {1: rifleman, 2: grenadier, 3: commando, 4: gunner}
NAMES = ("hx", "hy", "tb", "ts", "tw", "hd", "fc", "q1", "c1", "q2", "c2", "u1", "l1", "u2", "l2", "gdx", "gdy", "gdr", "shx", "shr")


def line(kind):
    g = KINDS[kind]
    BULK[0] = g["bulk"]
    poses = FALLS[kind]()
    frames = " ".join(f"@{n}=" + ",".join(fmt(p[n]) for p in poses) for n in NAMES)
    name = f"terror{kind}_dead".ljust(18)
    return (f"image {name} battlefield/soldier.svg size={g['size']} style=soldier,kind{kind},falling "
            f"px={g['px']} ground=1 frames={len(poses)} {frames}")


if __name__ == "__main__":
    for kind in FALLS:
        print(line(kind))
