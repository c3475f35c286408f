"""One-port Touchstone 1.1 files read as the format defines them, apart
from the module's writer."""

import cmath
import math
from dataclasses import dataclass, field

UNITS = {"HZ": 1, "KHZ": 1e3, "MHZ": 1e6, "GHZ": 1e9}


@dataclass
class OnePort:
    unit: str = "GHZ"
    parameter: str = "S"
    format: str = "MA"
    r: float = 50.0
    comments: list = field(default_factory=list)
    hz: list = field(default_factory=list)
    values: list = field(default_factory=list)


def _value(fmt, a, b):
    if fmt == "RI":
        return complex(a, b)
    magnitude = 10 ** (a / 20) if fmt == "DB" else a
    return cmath.rect(magnitude, math.radians(b))


def read_touchstone(path):
    f = OnePort()
    options = 0
    with open(path, encoding="cp1252", newline="") as text:
        for line in text.read().split("\r\n"):
            line, bang, comment = line.partition("!")
            if bang:
                f.comments.append(comment)
            words = line.split()
            if not words:
                continue
            if words[0] == "#":
                options += 1
                rest = iter(w.upper() for w in words[1:])
                for w in rest:
                    if w == "R":
                        f.r = float(next(rest))
                    elif w in UNITS:
                        f.unit = w
                    elif w in ("RI", "MA", "DB"):
                        f.format = w
                    else:
                        f.parameter = w
                continue
            hz, a, b = (float(w) for w in words)
            f.hz.append(hz * UNITS[f.unit])
            f.values.append(_value(f.format, a, b))
    assert options == 1, "one option line"
    return f
