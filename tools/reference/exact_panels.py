#!/usr/bin/python3
"""Exact panel figures for the precision cases of tests/stats/exact_tests.cpp.

    /usr/bin/python3 tools/reference/exact_panels.py

Every figure is computed from the typed digits with Python's fractions (the
rational figures) and 60-digit decimal square roots (the others), then
rounded to four decimals, halves away from zero, as the panels show them.
The test holds the printed values; Python is not needed to run it.
"""
from decimal import Decimal, getcontext, ROUND_HALF_UP
from fractions import Fraction as F

getcontext().prec = 60


def four(value):
    """A Fraction or Decimal to the panels' four-decimal text."""
    d = Decimal(value.numerator) / Decimal(value.denominator) if isinstance(value, F) else value
    text = str(d.quantize(Decimal("0.0001"), rounding=ROUND_HALF_UP))
    return "0.0000" if text == "-0.0000" else text


def root(value):
    return (Decimal(value.numerator) / Decimal(value.denominator)).sqrt()


def correlation(xs, ys):
    x = [F(v) for v in xs]
    y = [F(v) for v in ys]
    n = len(x)
    mx, my = sum(x) / n, sum(y) / n
    lxx = sum((a - mx) ** 2 for a in x)
    lyy = sum((b - my) ** 2 for b in y)
    lxy = sum((a - mx) * (b - my) for a, b in zip(x, y))
    r = root(lxy * lxy / (lxx * lyy)) * (-1 if lxy < 0 else 1)
    tr = root(lxy * lxy * (n - 2) / (lxx * lyy - lxy * lxy))
    b = lxy / lxx
    a = my - b * mx
    slope = four(b)
    return [four(r), four(tr), "Y=" + four(a) + ("" if slope.startswith("-") else "+") + slope + "X"]


def sample(xs):
    x = [F(v) for v in xs]
    n = len(x)
    m = sum(x) / n
    return n, m, sum((a - m) ** 2 for a in x) / (n - 1)


def two_sample(xs, ys):
    n1, m1, v1 = sample(xs)
    n2, m2, v2 = sample(ys)
    pooled = ((n1 - 1) * v1 + (n2 - 1) * v2) / (n1 + n2 - 2)
    t = root((m1 - m2) ** 2 / (pooled * (F(1, n1) + F(1, n2))))
    return [four(m1), four(root(v1)), four(m2), four(root(v2)), four(t)]


def paired(xs, ys):
    n, m, v = sample([F(a) - F(b) for a, b in zip(xs, ys)])
    return [four(abs(m)), four(root(v)), four(root(m * m * n / v))]


CASES = {
    "tiny units": (correlation,
                   ["0.00124", "0.00131", "0.00118", "0.00142", "0.00127", "0.00135"],
                   ["0.00109", "0.00115", "0.00112", "0.00121", "0.00108", "0.00119"]),
    "three-decimal lab values": (correlation,
                                 ["0.712", "0.854", "1.023", "0.931", "1.187", "0.768",
                                  "0.899", "1.104", "0.823", "0.975", "1.056", "0.741"],
                                 ["0.695", "0.880", "0.998", "0.905", "1.213", "0.802",
                                  "0.851", "1.142", "0.788", "1.012", "1.031", "0.733"]),
    "near 100000, three decimals": (correlation,
                                    ["100000.123", "100000.456", "100000.789", "100001.012", "100001.345", "100001.678"],
                                    ["100000.201", "100000.398", "100000.902", "100000.955", "100001.420", "100001.603"]),
    "near 250000, two decimals": (correlation,
                                  ["250000.12", "250001.37", "250002.55", "250003.91", "250005.08"],
                                  ["249998.40", "250000.02", "250001.11", "250002.87", "250004.05"]),
    "five decimals, two samples": (two_sample,
                                   ["1.23456", "1.23478", "1.23461", "1.23490", "1.23467"],
                                   ["1.23412", "1.23430", "1.23405", "1.23441", "1.23419"]),
    "five decimals, paired": (paired,
                              ["1.23456", "1.23478", "1.23461", "1.23490", "1.23467"],
                              ["1.23412", "1.23430", "1.23405", "1.23441", "1.23469"]),
    "32,766 rows near 500": (correlation,
                             [str(k + 1) for k in range(32766)],
                             [str((k * 7) % 1000) + ".5" for k in range(32766)]),
}

if __name__ == "__main__":
    for name, (test, xs, ys) in CASES.items():
        print(name, test(xs, ys))
