"""The benchmark's arithmetic and its reading of the probe: a wrong percentile or a
misread line would print a plausible but false table."""

import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import figures  # noqa: E402
import readings  # noqa: E402
import scale_figures  # noqa: E402
import soak_figures  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "driver"))
import wine  # noqa: E402
from wine import is_process_of  # noqa: E402


def by_name(results):
    return {f.name.strip(): f for f in results}


class WhichProcess(unittest.TestCase):
    def test_a_program_is_its_own_process_not_the_start_exe_that_launched_it(self):
        # start.exe's command line names the program too: counting it measured an idle
        # launcher in place of the program.
        self.assertFalse(is_process_of("tarnvale.exe", "start.exe"))
        self.assertTrue(is_process_of("tarnvale.exe", "tarnvale.exe"))
        self.assertTrue(is_process_of("idle_baseline.exe", "idle_baseline.e"))
        self.assertFalse(is_process_of("idle_baseline.exe", "idle_baseline"))
        self.assertTrue(is_process_of("wineserver", "wineserver64"))


class ProbeFailures(unittest.TestCase):
    def probe_ending(self, code, lines):
        runner = wine.Wine.__new__(wine.Wine)
        runner.run = lambda *args: (code, lines)
        return runner.probe("wait-window", "Progman", "20000")

    def test_a_failed_probe_says_what_it_saw_or_that_it_could_not_look(self):
        with self.assertRaisesRegex(RuntimeError, "exit code 1: error: no window of class X$"):
            self.probe_ending(1, ["error: no window of class X"])
        with self.assertRaisesRegex(RuntimeError, "exit code 5: printed nothing"):
            self.probe_ending(5, [])
        self.assertEqual(self.probe_ending(0, ["found"]), ["found"])


class InTurns(unittest.TestCase):
    """The scale mode's turns stop one program while the other is measured: one left
    stopped would hang the session's desktop."""

    def setUp(self):
        self.groups = [subprocess.Popen(["sleep", "60"]) for _ in range(2)]
        self.seen = []
        self.real_measure = wine.measure_idle_of
        wine.measure_idle_of = self.fake_measure
        self.fail_at = None

    def tearDown(self):
        wine.measure_idle_of = self.real_measure
        for process in self.groups:
            process.kill()
            process.wait()

    @staticmethod
    def stopped(process):
        fields = Path(f"/proc/{process.pid}/stat").read_text().rsplit(")", 1)[1].split()
        return fields[0] == "T"

    def fake_measure(self, _wine, pids, seconds, settle):
        measured = 0 if pids == [self.groups[0].pid] else 1
        # A signal takes a moment to land; the real turn settles for a second first.
        deadline = time.monotonic() + settle
        while not self.stopped(self.groups[1 - measured]) and time.monotonic() < deadline:
            time.sleep(0.01)
        self.seen.append((measured, [self.stopped(p) for p in self.groups]))
        if len(self.seen) == self.fail_at:
            raise RuntimeError("the probe failed")
        return {"process": measured, "wineserver": seconds}

    def turns(self, seconds, interval):
        return wine.measure_in_turns(None, [self.groups[0].pid], [self.groups[1].pid],
                                     seconds, interval)

    def test_each_measured_while_the_other_is_stopped_in_alternating_order(self):
        first, second = self.turns(20, 5)
        self.assertEqual(len(first), 4)
        self.assertEqual(len(second), 4)
        self.assertEqual([measured for measured, _ in self.seen], [0, 1, 1, 0, 0, 1, 1, 0])
        for measured, stopped in self.seen:
            self.assertEqual(stopped, [measured == 1, measured == 0])
        self.assertFalse(any(map(self.stopped, self.groups)))

    def test_nothing_is_left_stopped_when_a_turn_fails(self):
        self.fail_at = 3
        with self.assertRaises(RuntimeError):
            self.turns(20, 5)
        self.assertFalse(any(map(self.stopped, self.groups)))


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

    def test_idle_cost_counts_the_wineserver_and_is_judged_against_the_bare_loop(self):
        m = {"cpu_ms_per_min": {"idle_baseline": self.cpu(100, 200),
                                "attached": self.cpu(150, 240),   # 390 / 355 < 1.1
                                "bare_reads": self.cpu(125, 230),
                                "target_gone": self.cpu(250, 300),  # 550 / 480 > 1.1
                                "bare_lookups": self.cpu(190, 290)}}
        got = by_name(figures.build_figures(m))
        attached = got["idle CPU, target attached, over bare reads"]
        self.assertEqual((attached.value, attached.baseline), (390, 355))
        self.assertTrue(attached.met)
        self.assertFalse(got["idle CPU, target gone, over bare lookups"].met)
        beside_timer = got["idle CPU, target attached, over the bare timer"]
        self.assertAlmostEqual(beside_timer.ratio, 1.3)
        self.assertIsNone(beside_timer.met)

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
        m = {"exe_bytes": 131073, "imports": ["KERNEL32.dll", "libstdc++-6.dll"],
             "tick_calls": {"AttachedAndQuiet": {"calls": 6, "ns": 80},
                            "Loose": {"calls": 7, "ns": 150}}}
        got = by_name(figures.build_figures(m))
        self.assertFalse(got["tarnvale.exe size"].met)
        self.assertFalse(got["imported DLLs"].met)
        self.assertFalse(got["calls per tick, AttachedAndQuiet"].met)
        self.assertTrue(got["calls per tick, Loose"].met)
        self.assertIsNone(got["calls per tick, TargetGone"].met)

    def test_a_compared_build_stands_beside_the_same_baselines_only_when_measured(self):
        m = {"startup_ms": [120, 130, 140], "start_baseline_ms": [100, 100, 100],
             "working_set_after_minute": {"tarnvale": 3000, "idle_baseline": 2000},
             "exe_bytes": 100000}
        self.assertFalse(any("compared" in f.name for f in figures.build_figures(m)))
        m["against"] = {"startup_ms": [150, 160, 170], "working_set_after_minute": 5000,
                        "exe_bytes": 250000}
        got = by_name(figures.build_figures(m))
        start = got["compared build, start-up median"]
        self.assertEqual((start.value, start.baseline), (160, 100))
        working = got["compared build, working set after a minute"]
        self.assertEqual((working.value, working.baseline, working.ratio), (5000, 2000, 2.5))
        size = got["compared build, tarnvale.exe size"]
        self.assertEqual((size.value, size.baseline), (250000, 112 * 1024))
        self.assertIsNone(size.met, "another build's figures are shown, not judged")

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


class Scale(unittest.TestCase):
    def cpu(self, total):
        return {"process": total / 2, "wineserver": total / 2}

    def test_each_size_beside_its_bare_loop_and_growth_beside_the_bare_growth(self):
        sizes = {"10": (100, 100, 200, 190), "100": (110, 100, 400, 380),
                 "1000": (130, 100, 2000, 1000)}  # gone grows 10x, its bare loop 5.3x
        m = {"scale_cpu_ms_per_min": {
            size: {"attached": [self.cpu(a)] * 3, "bare_reads": [self.cpu(ar)] * 3,
                   "target_gone": [self.cpu(g)] * 3, "bare_lookups": [self.cpu(gr)] * 3}
            for size, (a, ar, g, gr) in sizes.items()}}
        got = by_name(scale_figures.windows_figures(m))
        self.assertTrue(got["10 windows, target attached"].met)
        self.assertFalse(got["1,000 windows, target attached"].met)  # 1.3
        self.assertFalse(got["1,000 windows, target gone"].met)  # 2.0
        growth = got["growth 10 -> 1,000 windows, target gone"]
        self.assertAlmostEqual(growth.value, 10)
        self.assertAlmostEqual(growth.baseline, 1000 / 190)
        added = got["added by 990 more windows, target gone"]
        self.assertEqual((added.value, added.baseline), (1800, 810))
        self.assertFalse(added.met)

    def test_the_ratio_is_the_median_of_the_pairs_measured_side_by_side(self):
        # Wine's cost drifts threefold between turns; each pair sees the same drift. A
        # ratio of the two medians would mix turns of different drifts: 1,500 / 1,100.
        ours = [1000, 3100, 1500, 2900, 1300]
        bare = [1000, 3000, 1400, 2800, 1100]  # pairs: 1.00 1.03 1.07 1.04 1.18
        m = {"scale_cpu_ms_per_min": {"1000": {
            "target_gone": [self.cpu(x) for x in ours],
            "bare_lookups": [self.cpu(x) for x in bare]}}}
        got = scale_figures.windows_figures(m)
        gone = by_name(got)["1,000 windows, target gone"]
        self.assertEqual((gone.value, gone.baseline), (1500, 1400))
        self.assertAlmostEqual(gone.ratio, 2900 / 2800)
        self.assertTrue(gone.met)
        spread = got[got.index(gone) + 1]
        self.assertEqual((spread.name.strip(), spread.value),
                         ("ratio's middle half, 5 pairs", "1.03 to 1.07"))

    def test_a_turn_without_a_figure_pairs_with_nothing(self):
        m = {"scale_cpu_ms_per_min": {"10": {
            "attached": [self.cpu(100), None, self.cpu(120)],
            "bare_reads": [self.cpu(100), self.cpu(90), self.cpu(0)]}}}
        attached = by_name(scale_figures.windows_figures(m))["10 windows, target attached"]
        self.assertEqual(attached.ratio, 1.0)  # the one pair with both figures
        self.assertEqual(attached.value, 110)
        nothing = by_name(scale_figures.windows_figures(
            {"scale_cpu_ms_per_min": {"10": {}}}))["10 windows, target gone"]
        self.assertIsNone(nothing.ratio)
        self.assertIsNone(nothing.met)

    def test_copies_linear_against_one_and_each_target_kept(self):
        m = {"copies_cpu_ms_per_min": {
            "1": {"tarnvale": self.cpu(100), "bare_reads": self.cpu(95)},
            "20": {"tarnvale": self.cpu(2400), "bare_reads": self.cpu(2300)}},
            "copies_attached_at_end": {"1": 1, "20": 19}}
        got = scale_figures.copies_figures(m)
        self.assertTrue(got[0].met)
        per_copy = by_name(got)["per copy, beside 1 alone"]
        self.assertEqual((per_copy.value, per_copy.ratio), (120, 1.2))
        self.assertFalse(per_copy.met)
        self.assertFalse(got[-1].met)  # 19 of 20 attached


SOAK_LOG = """holdings 0.003 start 0 working_set=1000 handles=30 gdi=none user=none windows=2
holdings 0.004 start 1 working_set=1000 handles=30 gdi=none user=none windows=2
event 0.3 hang 0
latency 3.2 after_hang 6.5
event 4.6 detach 1
early 4.7 reattach
event 5.0 detach 0
latency 5.1 reattach 20.0
answer 5.2 0 3.5
hang 9.0 1
event 9.5 extra_end -1
exit extra 1 17.5
icon extra none
target extra 1 1
holdings 61.0 minute 0 working_set=1500 handles=31 gdi=none user=none windows=2
holdings 61.0 minute 1 working_set=1500 handles=31 gdi=none user=none windows=2
holdings 600.1 end 0 working_set=1600 handles=31 gdi=none user=none windows=2
holdings 600.1 end 1 working_set=1600 handles=32 gdi=none user=none windows=2
attached_at_end 0 1
attached_at_end 1 1
exit 0 1 10.7
exit 1 0 5000.2
icon 0 0
icon 1 1
target 0 1 1
target 1 0 0""".splitlines()


class Soak(unittest.TestCase):
    def test_the_log_read_line_by_line(self):
        s = readings.soak_log(SOAK_LOG)
        self.assertEqual(s["events"], {"hang": 1, "detach": 2, "extra_end": 1})
        self.assertEqual(s["latencies"], {"after_hang": [[3.2, 6.5]], "reattach": [[5.1, 20.0]]})
        self.assertEqual(s["early"], {"reattach": 1})
        self.assertEqual(s["hangs"], [[9.0, "1"]])
        self.assertEqual(s["holdings"]["end"]["1"]["handles"], 32)
        self.assertIsNone(s["holdings"]["end"]["1"]["gdi"])
        self.assertEqual(s["exits"]["1"], [False, 5000.2])
        self.assertEqual((s["extra_exits"], s["extra_icons"]), ([[True, 17.5]], ["none"]))
        self.assertEqual(s["targets"], {"0": [True, True], "1": [False, False]})

    def test_what_was_left_and_what_grew_after_the_first_minute(self):
        s = readings.soak_log(SOAK_LOG)
        s.update({"copies": 2, "seconds": 600, "seed": 1})
        got = by_name(soak_figures.soak_figures({"soak": s}))
        self.assertFalse(got["copies that gave no answer within 5 s"].met)
        self.assertTrue(got["copies that ended on their own"].met)
        self.assertFalse(got["copies ended when closed"].met)
        # A tray that kept nothing of an extra copy proves nothing: not counted removed.
        self.assertEqual(got["icons removed (copies and extras)"].value, 1)
        self.assertFalse(got["icons removed (copies and extras)"].met)
        # Only the targets that still exist are judged.
        self.assertEqual(got["targets left top-level"].value, 2)
        self.assertTrue(got["targets left top-level"].met)
        # The first minute's growth is start-up's; after it, handles must hold still
        # and the working set within its slack.
        self.assertFalse(got["copies whose handles grew after the first minute"].met)
        self.assertTrue(got["copies whose working set grew after the first minute x 1.1"].met)
        self.assertEqual(got["re-attach p50 (1 events)"].value, 20.0)


if __name__ == "__main__":
    unittest.main()
