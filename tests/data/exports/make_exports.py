#!/usr/bin/env python3
"""Writes the exports corpus: the same four (gamma, tau) pairs in each shape of file that the DRT
tools and spreadsheets export, and the shapes the converter must refuse. Every number's text in
every notation below is the same float, so one expected output serves every accepted file:
expected+PDRT.txt, the converter's output for plain.txt with area 1. Deterministic; rerun in this
folder only to change the corpus."""

PAIRS = [(0.0125, 1e-06), (0.25, 0.002), (-1.5, 0.5), (3.0, 40.0)]
CRLF = "\r\n"


def write(name, text, encoding="ascii"):
    with open(name, "wb") as out:
        out.write(text.encode(encoding))


def lines(*rows, end=CRLF):
    return "".join(row + end for row in rows)


def exp3(value):
    """Old MATLAB on Windows: "%e" with three exponent digits, 1.000000e-006."""
    mantissa, exponent = ("%e" % value).split("e")
    return "%se%s%03d" % (mantissa, exponent[0], abs(int(exponent)))


def decimal_comma(text):
    return text.replace(".", ",")


DRTTOOLS_LR = ("L, 1.234000e-07 ", "R, 1.050000e-02 ")

# DRTtools (MATLAB) 2019: gamma first.
write("drttools-2019.txt",
      lines(*DRTTOOLS_LR, "gamma(tau), tau ", *("%e, %e " % (g, t) for g, t in PAIRS)))
# DRTtools 2020: tau first.
write("drttools-2020.txt",
      lines(*DRTTOOLS_LR, "tau, gamma(tau) ", *("%e, %e " % (t, g) for g, t in PAIRS)))
# DRTtools Bayesian run: tau, the MAP estimate, then the mean and the credible band.
write("drttools-bayesian.txt",
      lines(*DRTTOOLS_LR, "tau, MAP gamma, Mean gamma, Upperbound gamma, Lowerbound gamma ",
            *("%e, %e, %e, %e, %e " % (t, g, g * 1.125, g * 1.25, g * 0.75) for g, t in PAIRS)))
# pyDRTtools: Python's shortest float texts, with or without the regularisation line.
PY_ROWS = ["%r,%r" % (t, g) for g, t in PAIRS]
write("pydrttools.csv", lines("L,1.234e-07", "R,0.0105", "tau,gamma", *PY_ROWS))
write("pydrttools-lambda.csv",
      lines("L,1.234e-07", "R,0.0105", "lambda_value,0.001", "tau,gamma", *PY_ROWS))
# DRTtools 2019 saved by an old MATLAB on Windows.
write("matlab-windows.txt",
      lines(*DRTTOOLS_LR, "gamma(tau), tau ", *("%s, %s " % (exp3(g), exp3(t)) for g, t in PAIRS)))
# A DRTtools 2020 export opened in Excel and saved as Unicode Text.
write("excel-unicode.txt",
      "\ufeff" + lines("L\t1.234E-07", "R\t0.0105", "tau\tgamma(tau)",
                       *("%G\t%G" % (t, g) for g, t in PAIRS)),
      "utf-16-le")
# The same saved as Unicode Text in a decimal-comma locale, where a whole number or one in
# exponent notation has no comma ("1E-06\t0,0125").
write("excel-unicode-decimal-comma.txt",
      "\ufeff" + lines("L\t1,234E-07", "R\t0,0105", "tau\tgamma(tau)",
                       *(decimal_comma("%G\t%G" % (t, g)) for g, t in PAIRS)),
      "utf-16-le")
# A DRTtools 2019 export saved as CSV by Excel in a decimal-comma locale.
write("excel-decimal-comma.csv",
      lines("L;1,234000E-07", "R;1,050000E-02", "gamma(tau);tau",
            *(decimal_comma("%E;%E" % (g, t)) for g, t in PAIRS)))
# DRTtools 2019 saved with the line ends of an old Mac.
write("mac-cr.txt",
      lines(*DRTTOOLS_LR, "gamma(tau), tau ", *("%e, %e " % (g, t) for g, t in PAIRS), end="\r"))
# The same with a last line added on another system, ending in CR LF.
write("mac-cr-last-crlf.txt",
      lines(*DRTTOOLS_LR, "gamma(tau), tau ", *("%e, %e " % (g, t) for g, t in PAIRS[:-1]),
            end="\r") + "%e, %e \r\n" % PAIRS[-1])
# The plain export: three header lines, then gamma and tau separated by blanks.
write("plain.txt",
      lines("DRT export, cell A1", "lambda = 1e-3", "gamma tau", *("%g %g" % p for p in PAIRS)))

# Refused: g = gamma * f, a frequency first, a Hilbert-transform run, a frequency table.
write("refused-g-tau.txt",
      lines(*DRTTOOLS_LR, "tau, g(tau) ", *("%e, %e " % (t, g / t) for g, t in PAIRS)))
write("refused-g-tau-no-rows.txt", lines(*DRTTOOLS_LR, "tau, g(tau) "))
write("refused-freq.txt",
      lines(*DRTTOOLS_LR, "freq, gamma(freq) ",
            *("%e, %e " % (0.15915494580678602 / t, g) for g, t in PAIRS)))
write("refused-hilbert.txt",
      lines(*DRTTOOLS_LR, "tau, gamma_Re, gamma_Im ",
            *("%e, %e, %e " % (t, g, -g) for g, t in PAIRS)))
write("refused-frequency-table.txt",
      lines("L_self (uH)\t1.23400000e-01", "R_ohm (Ohm)\t1.05000000e-02", "freq (Hz)\tgamma",
            *("%.8e\t%.8e" % (0.15915494580678602 / t, g) for g, t in PAIRS)))
