#!/usr/bin/env python3
"""ln Kp (standard state 1 atm) of a few gas reactions straight from thermo.inp,
written apart from the program's reader and thermochemistry.

Usage: lnkp_reference.py thermo.inp
Prints "reaction<TAB>T<TAB>ln Kp" for T = 300, 400, ..., 3000 K."""
import math
import sys

REACTIONS = {
    "steam reforming": {"CH4": -1, "H2O": -1, "CO": 1, "H2": 3},
    "shift": {"CO": -1, "H2O": -1, "CO2": 1, "H2": 1},
    "ammonia synthesis": {"N2": -1, "H2": -3, "NH3": 2},
}


def read_intervals(path, wanted):
    """The 9-coefficient intervals of the wanted gases of the products section."""
    lines = open(path, encoding="latin-1").read().splitlines()
    found = {}
    i = next(k for k, line in enumerate(lines) if line.startswith("thermo")) + 2
    while i < len(lines) and not lines[i].startswith("END PRODUCTS"):
        line = lines[i]
        if not line.strip() or line.startswith("!"):
            i += 1
            continue
        name = line.split()[0]
        count = int(lines[i + 1][0:2])
        intervals = []
        for k in range(count):
            head, first, second = lines[i + 2 + 3 * k: i + 5 + 3 * k]
            number = lambda text: float(text.replace("D", "E"))
            low, high = number(head[0:11]), number(head[11:22])
            a = [number(first[16 * j:16 * j + 16]) for j in range(5)]
            a += [number(second[0:16]), number(second[16:32])]
            b = [number(second[48:64]), number(second[64:80])]
            intervals.append((low, high, a, b))
        if name in wanted and name not in found:
            found[name] = intervals
        i += 2 + (3 * count if count else 1)
    return found


def gibbs_over_rt(intervals, t):
    """G/(RT) of the gas at 1 bar."""
    low, high, a, b = next(iv for iv in intervals if iv[0] <= t <= iv[1])
    h = (-a[0] / t**2 + a[1] * math.log(t) / t + a[2] + a[3] * t / 2 + a[4] * t**2 / 3
         + a[5] * t**3 / 4 + a[6] * t**4 / 5 + b[0] / t)
    s = (-a[0] / (2 * t**2) - a[1] / t + a[2] * math.log(t) + a[3] * t + a[4] * t**2 / 2
         + a[5] * t**3 / 3 + a[6] * t**4 / 4 + b[1])
    return h - s


def main():
    names = {n for r in REACTIONS.values() for n in r}
    data = read_intervals(sys.argv[1], names)
    for reaction, nu in REACTIONS.items():
        moles = sum(nu.values())
        for t in range(300, 3001, 100):
            ln_kp_bar = -sum(v * gibbs_over_rt(data[n], t) for n, v in nu.items())
            # Kp relative to 1 atm: each gas's pressure counted in atm, not bar.
            print(f"{reaction}\t{t}\t{ln_kp_bar - moles * math.log(1.01325):.10f}")


main()
