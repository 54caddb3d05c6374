#!/usr/bin/python3
"""Writes the benchmark's input/output pair from Debian's IPA fonts.

    make_pair.py OLD NEW

OLD is IPA Mincho as installed (about 8 MB). NEW is about 9.5 MB of font
bytes shaped like a shipped derivation: the whole input with tens of
thousands of small insertions, deletions and byte edits spread through it (so
that the difference has about 20,000 records), followed by a copy of a large
stretch of IPA P Mincho (mostly the same glyph data as the input, so it costs
little) and a smaller piece of IPA Gothic (new bytes, which go to the extra
stream). The result depends only on the font files: the edits come from a
fixed seed.
"""

import random
import sys

MINCHO = "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"
MINCHO_P = "/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf"
GOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    old = read(MINCHO)
    mincho_p = read(MINCHO_P)
    gothic = read(GOTHIC)
    rng = random.Random(20260101)

    parts = []
    position = 0
    while position < len(old):
        step = rng.randint(135, 575)
        chunk = bytearray(old[position:position + step])
        position += step
        action = rng.random()
        if action < 0.55:
            # A few new bytes, as when a table entry grows.
            at = rng.randrange(len(chunk) + 1)
            source = rng.randrange(len(gothic) - 16)
            chunk[at:at] = gothic[source:source + rng.randint(1, 6)]
        elif action < 0.75:
            # A few bytes dropped.
            at = rng.randrange(len(chunk))
            del chunk[at:at + rng.randint(1, 4)]
        else:
            # Values changed in place, as in a recomputed metric.
            for _ in range(rng.randint(1, 3)):
                at = rng.randrange(len(chunk))
                chunk[at] = (chunk[at] + rng.randint(1, 255)) & 0xFF
        parts.append(bytes(chunk))

    parts.append(mincho_p[2_000_000:3_150_000])
    parts.append(gothic[3_000_000:3_300_000])
    new = b"".join(parts)

    with open(sys.argv[1], "wb") as f:
        f.write(old)
    with open(sys.argv[2], "wb") as f:
        f.write(new)
    print(f"input {len(old)} bytes, output {len(new)} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
