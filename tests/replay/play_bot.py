#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A player for the simulator: starts a game, then aims at the enemies it
# sees and shoots, with the pointer moving there as a hand would, until the
# game is over; records the game to a replay on the way. Only input and
# time reach the game, so the replay is one a real player could make.
#
#   play_bot.py SIM REPLAY [--seed N] [--start MS] [--max-seconds S] [--quick]
#
# --quick plays as a practised player does: the nearest soldier or vehicle
# that is firing first, and a shorter rest between shots. It lives through
# more levels, so its games are long ones.
import argparse
import random
import subprocess
import sys


class Sim:
    def __init__(self, program):
        self.proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(self, line):
        self.proc.stdin.write(line + "\n")

    def ask(self, line):
        """Runs the command and returns its output lines."""
        self.send(line)
        self.send("print Clock")
        lines = []
        while True:
            text = self.proc.stdout.readline()
            if text == "":
                raise SystemExit("the simulator ended: " + " / ".join(lines))
            text = text.rstrip("\n")
            if text.startswith("Clock="):
                return lines
            lines.append(text)

    def value(self, name):
        return self.ask("print " + name)[0].split("=", 1)[1]

    def close(self):
        self.proc.stdin.close()
        return self.proc.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("sim")
    parser.add_argument("replay")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--start", type=int, default=10000)
    parser.add_argument("--max-seconds", type=int, default=900)
    parser.add_argument("--quick", action="store_true")
    args = parser.parse_args()
    rng = random.Random(args.seed)

    sim = Sim(args.sim)
    sim.ask("start %d" % args.start)
    sim.ask("record " + args.replay)
    x, y = 400, 300
    for step in range(8):  # to the button, as a hand moves
        sim.send("move %d %d" % (x + (230 - x) * step // 7, y + (60 - y) * step // 7))
        sim.send("wait %d" % rng.randint(8, 20))
    x, y = 230, 60
    sim.ask("click left 230 60")
    played = 0
    while sim.value("GameState") == "3" and played < args.max_seconds * 1000:
        targets = []
        for line in sim.ask("sprites TTerror"):
            f = line.split()
            if len(f) >= 11 and f[9] == "true" and f[10] == "false":
                tx, ty, w, h = float(f[4]), float(f[5]), float(f[7]), float(f[8])
                if args.quick:
                    targets.append((tx + w * 0.45, ty + h * 0.4, "fight" in f[2]))
                else:
                    targets.append((tx + w * 0.3, ty + h * 0.35))
        bonuses = []
        for line in sim.ask("sprites TBonus"):
            f = line.split()
            if len(f) >= 11 and f[9] == "true":
                bonuses.append((float(f[4]) + 10, float(f[5]) + 10))
        if args.quick and targets:
            threats = [t for t in targets if t[2]] or targets
            goal = min(threats, key=lambda t: (t[0] - x) ** 2 + (t[1] - y) ** 2)
            if bonuses and rng.random() < 0.5:
                goal = rng.choice(bonuses)
        else:
            goal = rng.choice(bonuses or targets) if (bonuses or targets) else (rng.randint(100, 700), rng.randint(250, 450))
        gx = max(0, min(799, int(goal[0]) + rng.randint(-4, 4)))
        gy = max(0, min(599, int(goal[1]) + rng.randint(-4, 4)))
        steps = rng.randint(3, 8)
        for i in range(1, steps + 1):  # glide there
            nx, ny = x + (gx - x) * i // steps, y + (gy - y) * i // steps
            sim.send("move %d %d" % (nx, ny))
            wait = rng.randint(4, 16)
            sim.send("wait %d" % wait)
            played += wait
        x, y = gx, gy
        sim.send("press left %d %d" % (x, y))
        wait = 0
        for i in range(rng.randint(0, 4)):  # a shaking hand: in burst fire each move shoots
            x, y = max(0, min(799, x + rng.randint(-3, 3))), max(0, min(599, y + rng.randint(-3, 3)))
            sim.send("move %d %d" % (x, y))
            step = rng.randint(5, 15)
            sim.send("wait %d" % step)
            wait += step
        sim.send("wait %d" % rng.randint(20, 80))
        sim.send("release left %d %d" % (x, y))
        wait2 = rng.randint(60, 120) if args.quick else rng.randint(60, 400)
        sim.send("wait %d" % wait2)
        played += wait + wait2
        if rng.random() < 0.01:
            sim.send("key P")  # a pause now and then
            sim.send("wait %d" % rng.randint(300, 2000))
            sim.send("key P")
            while sim.value("GamePause") == "true":  # P does nothing during a level's intro
                sim.send("wait 100")
                sim.send("key P")
    state = sim.value("GameState")
    score = sim.value("Score")
    level = sim.value("LevelNo")
    if state == "8":
        # Past the game over's wait; a name when the table takes the score.
        sim.ask("wait 6000")
        sim.ask("type BOT")
        sim.ask("wait 100")
        sim.ask("key Enter")
        sim.ask("key Esc")
    else:
        # Out of time: leave with Esc and Yes.
        sim.ask("key Esc")
        sim.ask("wait 100")
        sim.ask("move 330 330")
        sim.ask("click left 330 330")
    print("state %s score %s level %s" % (state, score, level))
    sim.close()


if __name__ == "__main__":
    main()
