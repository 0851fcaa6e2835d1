#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""check_picture.py SHOT CHECK...: checks parts of a screenshot against the
game's own pictures, prints one line per check and exits 0 when all pass.

SHOT is a binary PPM; references are PPM or PAM (RGB_ALPHA, as pngtopam
-alphapam writes them, alpha 0 where the picture is transparent).

  same:REF:X0,Y0,X1,Y1     90 % of the region's pixels match REF's pixels there
  differs:REF:X0,Y0,X1,Y1  at least 15 % of them do not (something drawn over REF)
  shows:REF:X,Y            90 % of REF's opaque pixels match, REF's corner at X,Y
  shows:REF:X,Y0-Y1        the same at some row from Y0 to Y1
REF may be a glob ("ak47_?.pam"): any one of its pictures will do.
"""
import glob
import sys

CLOSE = 24          # summed channel distance of "the same colour"
SAME_SHARE = 0.9
DIFFERS_SHARE = 0.15


class Picture:
    def __init__(self, width, height, channels, data):
        self.width, self.height, self.channels, self.data = width, height, channels, data

    def rgb(self, x, y):
        i = (y * self.width + x) * self.channels
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def opaque(self, x, y):
        return self.channels < 4 or self.data[(y * self.width + x) * self.channels + 3] >= 128


def read_picture(path):
    data = open(path, 'rb').read()
    if data[:2] == b'P7':
        end = data.index(b'ENDHDR\n')
        fields = dict(line.split(None, 1) for line in data[3:end].decode().splitlines() if line.strip())
        width, height, depth = int(fields['WIDTH']), int(fields['HEIGHT']), int(fields['DEPTH'])
        if int(fields['MAXVAL']) != 255 or depth not in (3, 4):
            raise ValueError(f"{path}: only 8-bit RGB or RGB_ALPHA")
        pixels = data[end + 7:end + 7 + width * height * depth]
    elif data[:2] == b'P6':
        parts, pos = [], 0
        while len(parts) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b'#':
                pos = data.index(b'\n', pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            parts.append(data[pos:end])
            pos = end
        width, height, depth = int(parts[1]), int(parts[2]), 3
        if int(parts[3]) != 255:
            raise ValueError(f"{path}: only 8-bit PPM")
        pixels = data[pos + 1:pos + 1 + width * height * 3]
    else:
        raise ValueError(f"{path}: neither PPM nor PAM")
    if len(pixels) != width * height * depth:
        raise ValueError(f"{path}: short pixel data")
    return Picture(width, height, depth, pixels)


def close(a, b):
    return abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2]) <= CLOSE


def region_share(shot, ref, box):
    x0, y0, x1, y1 = box
    if x1 > min(shot.width, ref.width) or y1 > min(shot.height, ref.height) or x0 >= x1 or y0 >= y1:
        raise ValueError(f"region {box} lies outside the pictures")
    matching = sum(1 for y in range(y0, y1) for x in range(x0, x1) if close(shot.rgb(x, y), ref.rgb(x, y)))
    return matching / ((x1 - x0) * (y1 - y0))


def shows_share(shot, ref, left, top):
    # Every second pixel each way: plenty for pictures this size.
    checked = matching = 0
    for y in range(0, ref.height, 2):
        sy = top + y
        if not 0 <= sy < shot.height:
            continue
        for x in range(0, ref.width, 2):
            sx = left + x
            if 0 <= sx < shot.width and ref.opaque(x, y):
                checked += 1
                matching += close(shot.rgb(sx, sy), ref.rgb(x, y))
    return matching / checked if checked else 0.0


def numbers(text):
    return [int(v) for v in text.split(',')]


def run_check(shot, rule):
    kind, pattern, where = rule.split(':')
    paths = sorted(glob.glob(pattern))
    if not paths:
        raise ValueError(f"no picture {pattern}")
    refs = [read_picture(p) for p in paths]
    if kind in ('same', 'differs'):
        box = numbers(where)
        share = region_share(shot, refs[0], box)
        return (share >= SAME_SHARE, share) if kind == 'same' else (1 - share >= DIFFERS_SHARE, 1 - share)
    if kind == 'shows':
        x, rows = where.split(',')
        first, _, last = rows.partition('-')
        best = 0.0
        for ref in refs:
            for y in range(int(first), int(last or first) + 1):
                best = max(best, shows_share(shot, ref, int(x), y))
                if best >= SAME_SHARE:
                    return True, best
        return False, best
    raise ValueError(f"unknown check {kind}")


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip())
        return 2
    try:
        shot = read_picture(sys.argv[1])
    except (OSError, ValueError, IndexError) as e:
        print(f"{sys.argv[1]}: no picture ({e})")
        return 1
    failed = 0
    for rule in sys.argv[2:]:
        passed, share = run_check(shot, rule)
        print(f"{rule} {'ok' if passed else 'FAIL'} {share:.1%}")
        failed += not passed
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
