#!/usr/bin/env python3
"""Prints one table of the figures the benchmarks reported.

    bench_table.py RUNS

RUNS lists one benchmark run a line: NAME, display size, exit code and the
path of its output, separated by tabs (scripts/bench.sh writes it). Each
output holds the benchmark's own text and, per figure, one line of
bench/bench_report.h:

    figure<TAB>NAME<TAB>VALUE<TAB>UNIT<TAB>GOAL<TAB>lower|higher

Exits 1 when a benchmark failed or reported no figure, else 0: a missed
goal is a result, not a failure of the run.
"""

import os
import sys
from collections import namedtuple

Figure = namedtuple("Figure", "name value unit goal lower")


def number(field):
    return None if field == "-" else float(field)


def parse_figures(text):
    figures = []
    for line in text.splitlines():
        fields = line.rstrip("\r").split("\t")
        if fields[0] != "figure" or len(fields) != 6:
            continue
        _, name, value, unit, goal, better = fields
        figures.append(Figure(name, number(value), unit, number(goal), better == "lower"))
    return figures


def verdict(figure):
    if figure.value is None:
        return "NOT MEASURED"
    if figure.goal is None:
        return "reference"
    if figure.lower:
        return "met" if figure.value < figure.goal else "MISSED"
    return "met" if figure.value >= figure.goal else "MISSED"


def shown(value):
    """Three figures or so, whatever the size: 0.0793, 1.05, 39.2, 378."""
    if abs(value) >= 100:
        return "%.0f" % value
    if abs(value) >= 10:
        return "%.1f" % value
    if abs(value) >= 1:
        return "%.2f" % value
    return "%.3f" % value


def with_unit(text, unit):
    return text + ("" if unit in ("x", "%") else " ") + unit


def goal_text(figure):
    if figure.goal is None:
        return ""
    side = "<" if figure.lower else ">="
    return side + " " + with_unit("%g" % figure.goal, figure.unit)


def value_text(figure):
    return "-" if figure.value is None else with_unit(shown(figure.value), figure.unit)


def read_runs(path):
    runs = []
    with open(path, encoding="utf-8") as listing:
        for line in listing:
            name, size, code, log = line.rstrip("\n").split("\t")
            text = ""
            if os.path.exists(log):
                with open(log, encoding="utf-8", errors="replace") as output:
                    text = output.read()
            runs.append((name, size, int(code), parse_figures(text)))
    return runs


def table(runs):
    rows, failures = [], []
    for name, size, code, figures in runs:
        if code != 0 or not figures:
            failures.append("%s on %s: %s" % (name, size, "exit code %d" % code if code else "no figures"))
        rows += [(f.name, value_text(f), goal_text(f), verdict(f)) for f in figures]
    header = ("figure", "value", "goal", "")
    widths = [max(len(row[i]) for row in rows + [header]) for i in range(3)]
    lines = []
    for row in [header] + rows:
        lines.append("%-*s  %*s  %-*s  %s" % (widths[0], row[0], widths[1], row[1], widths[2], row[2], row[3]))
    with_goals = [row for row in rows if row[2]]
    missed = [row[0] for row in with_goals if row[3] != "met"]
    lines.append("")
    lines.append("%d of %d figures with a goal meet it." % (len(with_goals) - len(missed), len(with_goals)))
    for name in missed:
        lines.append("  missed or not measured: " + name)
    for failure in failures:
        lines.append("  FAILED: " + failure)
    return lines, failures


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: bench_table.py RUNS\n")
        return 2
    lines, failures = table(read_runs(sys.argv[1]))
    print("\n".join(lines))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
