#!/usr/bin/env python3
"""Greatest eclipse and contacts of the synthetic total eclipse of
synthetic_eclipse.h, computed independently of the program: the elements'
polynomials evaluated in exact rational arithmetic, each time found by
bisection of its defining equation to 1e-15 h.

  greatest eclipse: x x' + y y' = 0 (least distance from the shadow axis)
  contacts:         x^2 + y^2 = l(t)^2, l = lp, lu, lt, before and after it

Prints the times in hours of TT from the record's epoch hour."""
from fractions import Fraction as F

# Elements of totalEclipse(): arcsec, hours.
X = [F(-300), F(1800), F(2), F("0.1")]
Y = [F(500), F(-150), F(-1), F("0.05")]
LP = [F(5500), F("0.1")]
LU = [F(3500), F("-0.05")]
LT = [F(1700), F("0.02")]


def value(c, t):
    return sum(k * t**i for i, k in enumerate(c))


def slope(c, t):
    return sum(i * k * t**(i - 1) for i, k in enumerate(c) if i)


def root(f, lo, hi):
    flo = f(lo)
    assert flo * f(hi) < 0, (lo, hi)
    while hi - lo > F(1, 10**15):
        mid = (lo + hi) / 2
        if (f(mid) < 0) == (flo < 0):
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


greatest = root(lambda t: value(X, t) * slope(X, t) + value(Y, t) * slope(Y, t), F(-5), F(5))
print(f"greatest {float(greatest):.17g}")
for name, radius, side in (("p1", LP, -1), ("u1", LU, -1), ("u2", LT, -1),
                           ("u3", LT, 1), ("u4", LU, 1), ("p4", LP, 1)):
    outside = greatest + side * 8
    t = root(lambda t: value(X, t)**2 + value(Y, t)**2 - value(radius, t)**2,
             min(greatest, outside), max(greatest, outside))
    print(f"{name} {float(t):.17g}")
