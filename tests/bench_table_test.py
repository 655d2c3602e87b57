#!/usr/bin/env python3
"""The benchmark table (scripts/bench_table.py): which figures meet their
goals, which lines count as figures, and which runs make the command fail."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import bench_table  # noqa: E402


def line(value, goal, better="lower", name="area: figure", unit="ms"):
    return "\t".join(["figure", name, value, unit, goal, better])


class Verdicts(unittest.TestCase):
    def test_each_figure_against_its_goal(self):
        rows = [
            # value, goal, better, verdict
            ("0.99", "1", "lower", "met"),
            ("1", "1", "lower", "MISSED"),  # "under the goal": equal is not under
            ("150.2", "150", "lower", "MISSED"),
            ("85", "85", "higher", "met"),  # "at least the goal"
            ("84.9", "85", "higher", "MISSED"),
            ("-", "400", "lower", "NOT MEASURED"),
            ("-", "-", "lower", "NOT MEASURED"),
            ("12", "-", "lower", "reference"),
            ("-0.2", "0.5", "lower", "met"),  # a cost below its reference loop's
        ]
        for value, goal, better, expected in rows:
            with self.subTest(value=value, goal=goal, better=better):
                (figure,) = bench_table.parse_figures(line(value, goal, better))
                self.assertEqual(bench_table.verdict(figure), expected)

    def test_only_whole_figure_lines_count(self):
        text = "\r\n".join([
            "capture at 1920x1080, screen-like content",
            line("42", "150", name="capture: overlay"),  # Wine writes CR LF
            "figure\ttoo\tfew\tfields",
            "  figure\tindented\t1\tms\t2\tlower",
            "figures are timings",
            line("3", "-", name="capture: floor"),
        ])
        names = [f.name for f in bench_table.parse_figures(text)]
        self.assertEqual(names, ["capture: overlay", "capture: floor"])


class Runs(unittest.TestCase):
    def run_table(self, runs):
        """runs: (name, exit code, output) per benchmark run."""
        with tempfile.TemporaryDirectory() as folder:
            listing = os.path.join(folder, "runs")
            with open(listing, "w", encoding="utf-8") as out:
                for name, code, text in runs:
                    log = os.path.join(folder, name + ".log")
                    with open(log, "w", encoding="utf-8") as output:
                        output.write(text)
                    out.write("%s\t1920x1080\t%d\t%s\n" % (name, code, log))
            return bench_table.table(bench_table.read_runs(listing))

    def test_failed_runs_and_missed_goals(self):
        good = "\n".join([line("0.1", "1", name="pens: pencil"), line("9", "-", name="pens: floor")])
        cases = [
            # runs, failures, summary line
            ([("a", 0, good)], [], "1 of 1 figures with a goal meet it."),
            ([("a", 0, line("2", "1"))], [], "0 of 1 figures with a goal meet it."),
            ([("a", 0, good), ("b", 0, "no display?\n")], ["b on 1920x1080: no figures"],
             "1 of 1 figures with a goal meet it."),
            # A crash after some figures still fails the run; its figures stay.
            ([("a", 3, good)], ["a on 1920x1080: exit code 3"], "1 of 1 figures with a goal meet it."),
            ([("a", 0, line("-", "400"))], [], "0 of 1 figures with a goal meet it."),
        ]
        for runs, failures, summary in cases:
            with self.subTest(runs=[r[:2] for r in runs]):
                lines, failed = self.run_table(runs)
                self.assertEqual(failed, failures)
                self.assertIn(summary, lines)
                for failure in failures:
                    self.assertIn("  FAILED: " + failure, lines)


if __name__ == "__main__":
    unittest.main()
