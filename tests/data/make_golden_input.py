#!/usr/bin/env python3
"""Writes golden-input.txt: a DRT export of realistic rows mixed with every awkward shape of number
the converter must read exactly as glibc's sscanf does. Deterministic; rerun only to change it.
The expected output beside it is made by the C-library baseline (see tests/core/golden_test.cpp)."""
import math
import random

rng = random.Random(20261208)
lines = ["DRT export, sample cell B7", "Regularisation: Tikhonov, lambda = 1e-3", "gamma\ttau"]

def realistic(count):
    peaks = [(rng.uniform(-6, 2), rng.uniform(0.2, 0.8), rng.uniform(0.01, 10)) for _ in range(3)]
    for i in range(count):
        log_tau = -7 + 10 * i / (count - 1)
        tau = 10 ** log_tau
        gamma = sum(h * math.exp(-((log_tau - c) / w) ** 2) for c, w, h in peaks)
        gamma += rng.gauss(0, 1e-4)
        fmt = rng.choice(["%.6e\t%.6e", "%.10g %.10g", "%g %g", "%.8E  %.8E", " %+.4e\t %.12e",
                          "%.7f %.9e"])
        yield fmt % (gamma, tau)

lines += realistic(2500)

awkward = [
    "0 0", "-0 1", "1 -0", "1.5 2e-3", "0.25 1e-6", "12.5 0.5", "3 1", "1e-50 1", "1 1e-50",
    "1e39 1", "1 1e39", "3.4028235e38 1", "3.4028236e38 1", "1.4e-45 1", "7e-46 1", "1e-45 1e-45",
    "16777217 1", "16777216.5 1", "0.1 0.1", "0.30000001192092896 3", "2.5000001 1",
    "123456789012345678901234567890 1e-7", "0.000000000000000000000000000000000001234 1",
    ".5 5.", "+.5e+3 -5.E-3", "00000012.5000000 0001e-0003", "inf 1", "1 inf", "-inf 1",
    "INFINITY 1", "1 Infinity", "nan 1", "1 nan", "-nan 1", "NaN -1", "1 nan(123)",
    "0x1.8p1 1", "1 0x10", "0X1P-3 0x.8", "1e 1", "1e+ 1", "1 1e", "+ 1", "- 1", ". 1", "1 .",
    "1 2abc", "1 2,3", "1,5 2,5", "1, 2 3", "  \t 7\t\t8  ", "\v9\f10", "1\r2", "", "   ", "\t",
    "text only", "1", "-", "1 -", "1e5 1e-5", "1E5 1E+05", "-1.234567e-03 4.5e2",
    "999999.5 1", "9999995 1", "0.00001 0.0001", "1234567 1", "123456.5 1", "0.000123456 1",
    "1 0.0000001", "1 1000", "1 1e3", "1 7.7e-8", "-3.3e-4 -2e-3", "4e-39 1", "1 4e-39",
    "1 1.1754942e-38", "1 1.1754944e-38", "5e-324 1", "1.7976931348623157e308 1", "1 2 3",
]
for line in awkward:
    lines.append(line)
for _ in range(1500):
    mantissa = "".join(rng.choice("0123456789") for _ in range(rng.randint(1, 12)))
    point = rng.randint(0, len(mantissa))
    number = mantissa[:point] + "." + mantissa[point:] if rng.random() < 0.7 else mantissa
    if rng.random() < 0.5:
        number += rng.choice("eE") + rng.choice(["", "+", "-"]) + str(rng.randint(0, 45))
    number = rng.choice(["", "-", "+"]) + number
    tau = "%.*e" % (rng.randint(0, 9), 10 ** rng.uniform(-9, 4))
    lines.append(number + rng.choice([" ", "\t", "  "]) + tau)

with open("golden-input.txt", "wb") as out:
    for i, line in enumerate(lines):
        end = b"\n" if i % 17 == 5 else b"\r\n"
        out.write(line.encode("ascii") + end)
