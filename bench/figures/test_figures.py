"""The benchmark's arithmetic and its reading of the probe: a wrong percentile or a
misread line would print a plausible but false table."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import figures  # noqa: E402
import readings  # noqa: E402


def by_name(results):
    return {f.name.strip(): f for f in results}


class Statistics(unittest.TestCase):
    def test_nearest_rank_percentiles(self):
        values = list(range(200, 0, -1))  # 1..200, unordered
        self.assertEqual(figures.percentile(values, 50), 100)
        self.assertEqual(figures.percentile(values, 99), 198)
        self.assertEqual(figures.percentile(values, 100), 200)
        self.assertEqual(figures.percentile([7.5], 99), 7.5)
        self.assertIsNone(figures.percentile([], 50))

    def test_median_of_odd_and_even_counts(self):
        self.assertEqual(figures.median([3, 1, 2]), 2)
        self.assertEqual(figures.median([4, 1, 3, 2]), 2.5)
        self.assertIsNone(figures.median([]))

    def test_ratio_without_a_baseline_is_no_figure(self):
        self.assertIsNone(figures.ratio(5, 0))
        self.assertIsNone(figures.ratio(None, 5))
        self.assertAlmostEqual(figures.ratio(13, 10), 1.3)


class Aims(unittest.TestCase):
    def cpu(self, process, server):
        return {"process": process, "wineserver": server}

    def test_idle_cost_counts_the_wineserver_and_is_judged_against_the_bare_timer(self):
        m = {"cpu_ms_per_min": {"idle_baseline": self.cpu(100, 200),
                                "attached": self.cpu(150, 240),   # 390 / 300 = 1.3
                                "bare_reads": self.cpu(120, 230),
                                "target_gone": self.cpu(200, 300),  # 500 / 300
                                "bare_lookups": self.cpu(190, 290)}}
        got = by_name(figures.build_figures(m))
        attached = got["idle CPU, target attached"]
        self.assertEqual((attached.value, attached.baseline), (390, 300))
        self.assertTrue(attached.met)
        self.assertFalse(got["idle CPU, target gone"].met)
        self.assertAlmostEqual(got["over bare lookups"].ratio, 500 / 480)

    def test_latency_and_start_up_aims(self):
        m = {"reattach_ms": [20.0] * 197 + [61.0] * 3, "refind_ms": [10.0, 30.0],
             "startup_ms": [100, 131, 140], "start_baseline_ms": [90, 101, 500]}
        got = by_name(figures.build_figures(m))
        self.assertEqual(got["re-attach p99"].value, 61.0)
        self.assertFalse(got["re-attach p99"].met)
        self.assertEqual(got["re-attach max"].value, 61.0)
        start = got["start-up median (3 runs)"]
        self.assertEqual((start.value, start.baseline), (131, 101))
        self.assertTrue(start.met)  # exactly the baseline plus 30 ms

    def test_counts_that_grow_with_ticks_are_a_leak(self):
        m = {"holdings": {"100": {"handles": 40, "gdi": None, "windows": 3},
                          "10000": {"handles": 41, "gdi": None, "windows": 3}}}
        got = by_name(figures.build_figures(m))
        self.assertFalse(got["handles after 10,000 ticks"].met)
        self.assertIsNone(got["GDI objects after 10,000 ticks"].met)  # Wine gives none
        self.assertTrue(got["top-level windows after 10,000 ticks"].met)

    def test_size_imports_and_tick_calls(self):
        m = {"exe_bytes": 262145, "imports": ["KERNEL32.dll", "libstdc++-6.dll"],
             "tick_calls": {"AttachedAndQuiet": {"calls": 6, "ns": 80},
                            "Loose": {"calls": 7, "ns": 150}}}
        got = by_name(figures.build_figures(m))
        self.assertFalse(got["tarnvale.exe size"].met)
        self.assertFalse(got["imported DLLs"].met)
        self.assertFalse(got["calls per tick, AttachedAndQuiet"].met)
        self.assertTrue(got["calls per tick, Loose"].met)
        self.assertIsNone(got["calls per tick, TargetGone"].met)

    def test_nothing_measured_prints_a_table_of_no_figures(self):
        table = figures.format_table(figures.build_figures({}))
        lines = table.splitlines()
        self.assertTrue(lines[0].startswith("figure"))
        self.assertIn("no figure", table)
        self.assertNotIn("yes", table)


class ProbeLines(unittest.TestCase):
    def test_values_take_only_their_own_key(self):
        lines = ["reattach_ms 24.5", "reattach_ms_other 1", "reattach_ms 3", "error: x"]
        self.assertEqual(readings.values(lines, "reattach_ms"), [24.5, 3.0])

    def test_holdings_keep_none_for_what_wine_does_not_give(self):
        lines = ["holdings 100 working_set=2048 handles=none gdi=none user=none windows=2",
                 "holdings 10000 working_set=4096 handles=12 gdi=none user=none windows=2"]
        got = readings.holdings(lines)
        self.assertEqual(got["100"], {"working_set": 2048, "handles": None, "gdi": None,
                                      "user": None, "windows": 2})
        self.assertEqual(got["10000"]["handles"], 12)


if __name__ == "__main__":
    unittest.main()
