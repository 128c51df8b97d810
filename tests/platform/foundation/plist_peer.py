#!/usr/bin/env python3
"""Peer side of the property-list differential tests, on Python's plistlib.

  plist_peer.py generate DIR COUNT SEED   writes DIR/<n>.py.xml and DIR/<n>.py.bin, and the
                                          XML again in UTF-16 with a byte-order mark,
                                          DIR/<n>.py.u16le.xml and DIR/<n>.py.u16be.xml
  plist_peer.py canon FILE...             prints one canonical line per file

The canonical form matches tests/platform/foundation/plist_test_support.h: types kept
apart, keys sorted by their UTF-8 bytes, strings and data in hex, reals as %.17g, dates
as whole seconds since 2001-01-01.
"""
import codecs
import datetime
import math
import os
import plistlib
import random
import sys

REFERENCE = datetime.datetime(2001, 1, 1)

# Characters that exercise escaping, entities and multi-byte UTF-8 (no carriage return:
# expat turns it into a line feed, the device does not).
ALPHABET = list("abcXYZ019 _-.:/") + ["<", ">", "&", '"', "'", "\t", "\n", "é", "ß", "中", "\u2028",
                                       "\U0001F600", "\uFF21", "&amp;", "]]>", "<![CDATA[x]]>"]
INTEGERS = [0, 1, -1, 10, 255, 256, 65535, 65536, 2**31 - 1, -2**31, 2**32, 2**63 - 1, -2**63]
REALS = [0.0, -0.0, 0.1, 1.5, 100.0, 1e20, -2.5, 1e-300, 5e-324, 1.7976931348623157e308,
         float("inf"), float("-inf"), 123456.789]


def random_string(rng):
    return "".join(rng.choice(ALPHABET) for _ in range(rng.randrange(0, 12)))


def random_scalar(rng):
    kind = rng.randrange(8)
    if kind == 0:
        return rng.choice([True, False])
    if kind == 1:
        return rng.choice(INTEGERS) if rng.random() < 0.5 else rng.randrange(-2**63, 2**63)
    if kind == 2:
        return rng.choice(REALS) if rng.random() < 0.5 else rng.uniform(-1e6, 1e6)
    if kind == 3:
        return bytes(rng.randrange(256) for _ in range(rng.randrange(0, 120)))
    if kind == 4:
        return REFERENCE + datetime.timedelta(seconds=rng.randrange(-3_000_000_000, 3_000_000_000))
    return random_string(rng)


def random_value(rng, depth):
    roll = rng.random()
    if depth < 4 and roll < 0.2:
        return [random_value(rng, depth + 1) for _ in range(rng.randrange(0, 6))]
    if depth < 4 and roll < 0.4:
        return {random_string(rng): random_value(rng, depth + 1) for _ in range(rng.randrange(0, 6))}
    return random_scalar(rng)


def generate(folder, count, seed):
    rng = random.Random(seed)
    for n in range(count):
        root = {random_string(rng): random_value(rng, 1) for _ in range(rng.randrange(5, 25))}
        with open(os.path.join(folder, f"{n}.py.xml"), "wb") as f:
            plistlib.dump(root, f, fmt=plistlib.FMT_XML, sort_keys=bool(n % 2))
        with open(os.path.join(folder, f"{n}.py.bin"), "wb") as f:
            plistlib.dump(root, f, fmt=plistlib.FMT_BINARY)
        text = plistlib.dumps(root, fmt=plistlib.FMT_XML).decode("utf-8")
        text = text.replace('encoding="UTF-8"', 'encoding="UTF-16"', 1)
        for suffix, bom, codec in (("le", codecs.BOM_UTF16_LE, "utf-16-le"),
                                   ("be", codecs.BOM_UTF16_BE, "utf-16-be")):
            with open(os.path.join(folder, f"{n}.py.u16{suffix}.xml"), "wb") as f:
                f.write(bom + text.encode(codec))


def canon(value):
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return "i:%d" % value
    if isinstance(value, float):
        return "r:nan" if math.isnan(value) else "r:%.17g" % value
    if isinstance(value, str):
        return "s:" + value.encode("utf-8").hex()
    if isinstance(value, bytes):
        return "b:" + value.hex()
    if isinstance(value, datetime.datetime):
        return "d:%d" % math.floor((value - REFERENCE).total_seconds())
    if isinstance(value, list):
        return "[" + ",".join(canon(v) for v in value) + "]"
    if isinstance(value, dict):
        entries = sorted((k.encode("utf-8").hex(), canon(v)) for k, v in value.items())
        return "{" + ",".join(k + "=" + v for k, v in entries) + "}"
    return "?" + type(value).__name__


def main(argv):
    if len(argv) == 5 and argv[1] == "generate":
        generate(argv[2], int(argv[3]), int(argv[4]))
        return 0
    if len(argv) >= 2 and argv[1] == "canon":
        for path in argv[2:]:
            try:
                with open(path, "rb") as f:
                    print(canon(plistlib.load(f)))
            except Exception as e:  # one line per file whatever happens
                print("error: %s" % type(e).__name__)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
