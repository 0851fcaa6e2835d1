#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""compare_ppm.py SHOT REF: exits 0 when at least 90% of SHOT's pixels are
within a small distance of REF's (both binary PPM, 8-bit), printing the share."""
import sys

from check_picture import read_picture


def read_ppm(path):
    picture = read_picture(path)
    if picture.channels != 3:
        raise ValueError(f"{path}: not a PPM")
    return picture.width, picture.height, picture.data


def main():
    shot, ref = sys.argv[1], sys.argv[2]
    try:
        sw, sh, sp = read_ppm(shot)
    except (OSError, ValueError, IndexError):
        print(f"{shot}: no picture")
        return 1
    rw, rh, rp = read_ppm(ref)
    if (sw, sh) != (rw, rh) or len(sp) != len(rp):
        print(f"{shot}: {sw}x{sh}, expected {rw}x{rh}")
        return 1
    close = sum(1 for i in range(0, len(rp), 3)
                if abs(sp[i] - rp[i]) + abs(sp[i + 1] - rp[i + 1]) + abs(sp[i + 2] - rp[i + 2]) <= 24)
    share = close / (rw * rh)
    print(f"{shot}: {share:.1%} of pixels match the picture")
    return 0 if share >= 0.9 else 1


sys.exit(main())
