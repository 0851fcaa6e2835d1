#!/usr/bin/env python3
"""compare_ppm.py SHOT REF: exits 0 when at least 90% of SHOT's pixels are
within a small distance of REF's (both binary PPM, 8-bit), printing the share."""
import sys


def read_ppm(path):
    data = open(path, 'rb').read()
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
    pos += 1
    width, height = int(parts[1]), int(parts[2])
    return width, height, data[pos:pos + width * height * 3]


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
