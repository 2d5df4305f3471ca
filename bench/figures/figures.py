"""Turns the benchmark's measurements into figures: each beside its baseline, the
ratio, the aim and whether it was met. Pure functions; the driver measures."""

import json
import math
from dataclasses import asdict, dataclass
from typing import Optional

# Idle cost is judged against the bare loop that makes the same calls: what the
# behaviour cannot do without. The bare timer beside it is information.
IDLE_AIM = 1.1
REATTACH_P99_AIM_MS = 60.0
STARTUP_EXTRA_AIM_MS = 30.0
SIZE_AIM_BYTES = 112 * 1024
# What each tick state needs: the liveness check, the "progman" lookup and the three
# reads; a loose target adds the attach (its own "progman" lookup and the parent
# change); a gone target takes the liveness check and the two lookups by text.
TICK_CALLS_AIM = {"AttachedAndQuiet": 5, "Loose": 7, "TargetGone": 3}
SYSTEM_DLLS = {"ADVAPI32.DLL", "COMCTL32.DLL", "COMDLG32.DLL", "GDI32.DLL", "KERNEL32.DLL",
               "MSVCRT.DLL", "OLE32.DLL", "SHELL32.DLL", "USER32.DLL"}


@dataclass
class Figure:
    name: str
    value: object
    unit: str = ""
    baseline: object = None
    ratio: Optional[float] = None
    aim: str = ""
    met: Optional[bool] = None  # None: no aim, or no figure to judge


def percentile(values, percent):
    """Nearest-rank percentile: the smallest value with `percent` of all at or below it."""
    if not values:
        return None
    ordered = sorted(values)
    rank = max(1, math.ceil(percent / 100 * len(ordered)))
    return ordered[rank - 1]


def median(values):
    if not values:
        return None
    ordered = sorted(values)
    middle = len(ordered) // 2
    if len(ordered) % 2:
        return ordered[middle]
    return (ordered[middle - 1] + ordered[middle]) / 2


def ratio(value, baseline):
    if value is None or not baseline:
        return None
    return value / baseline


def cpu_total(cpu):
    """A program's CPU per minute with the wineserver's over the same interval."""
    return None if cpu is None else cpu["process"] + cpu["wineserver"]


def _idle_figures(m):
    cpu = m.get("cpu_ms_per_min", {})
    timer = cpu_total(cpu.get("idle_baseline"))
    figures = []
    for key, name, bare_key in (("attached", "idle CPU, target attached", "bare_reads"),
                                ("target_gone", "idle CPU, target gone", "bare_lookups")):
        value, bare = cpu_total(cpu.get(key)), cpu_total(cpu.get(bare_key))
        share = ratio(value, bare)
        label = bare_key.replace("_", " ")
        figures.append(Figure(f"{name}, over {label}", value, "ms/min", bare, share,
                              f"<= {IDLE_AIM}", None if share is None else share <= IDLE_AIM))
        # What Wine charges for the calls themselves, and the program beside the bare
        # timer whose tick does nothing.
        figures.append(Figure(f"  {label}: its calls, bare, over the bare timer", bare,
                              "ms/min", timer, ratio(bare, timer), "Wine's cost"))
        figures.append(Figure(f"  {name}, over the bare timer", value, "ms/min", timer,
                              ratio(value, timer), "shown"))
        if cpu.get(key) is not None and cpu.get(bare_key) is not None:
            own, bare_own = cpu[key]["process"], cpu[bare_key]["process"]
            figures.append(Figure(f"  process alone, over {label}", own,
                                  "ms/min", bare_own, ratio(own, bare_own)))
    return figures


def _latency_figures(m):
    reattach = m.get("reattach_ms", [])
    refind = m.get("refind_ms", [])
    p99 = percentile(reattach, 99)
    return [
        Figure(f"re-attach p50 ({len(reattach)} trials)", percentile(reattach, 50), "ms", 50,
               ratio(percentile(reattach, 50), 50), "one tick"),
        Figure("re-attach p99", p99, "ms", 50, ratio(p99, 50), f"<= {REATTACH_P99_AIM_MS:g}",
               None if p99 is None else p99 <= REATTACH_P99_AIM_MS),
        Figure("re-attach max", max(reattach, default=None), "ms", 50,
               ratio(max(reattach, default=None), 50)),
        Figure("  trials the tick won before the clock started", m.get("reattach_skipped")),
        Figure("  trials in which the target took the foreground", m.get(
            "reattach_foreground_retaken")),
        Figure(f"re-find p50 ({len(refind)} trials)", percentile(refind, 50), "ms", 50,
               ratio(percentile(refind, 50), 50)),
        Figure("re-find p99", percentile(refind, 99), "ms", 50, ratio(percentile(refind, 99), 50)),
    ]


def _compared(m, name, value, unit, baseline):
    """Another build's figure, beside the same baseline as ours, where one was measured."""
    if "against" not in m:
        return []
    return [Figure(f"  compared build, {name}", value, unit, baseline, ratio(value, baseline),
                   "shown")]


def _startup_figures(m):
    ours = median(m.get("startup_ms", []))
    floor = median(m.get("start_baseline_ms", []))
    met = None if ours is None or floor is None else ours <= floor + STARTUP_EXTRA_AIM_MS
    other = median(m.get("against", {}).get("startup_ms", []))
    return [Figure(f"start-up median ({len(m.get('startup_ms', []))} runs)", ours, "ms", floor,
                   ratio(ours, floor), f"<= baseline + {STARTUP_EXTRA_AIM_MS:g}", met)
            ] + _compared(m, "start-up median", other, "ms", floor)


def _same(first, later):
    """Whether a count held between two snapshots; None when Wine gives no figure."""
    if first is None or later is None:
        return None
    return first == later


def _footprint_figures(m):
    working = m.get("working_set_after_minute", {})
    ours, floor = working.get("tarnvale"), working.get("idle_baseline")
    figures = [Figure("working set after a minute", ours, "bytes", floor, ratio(ours, floor))]
    figures += _compared(m, "working set after a minute",
                         m.get("against", {}).get("working_set_after_minute"), "bytes", floor)
    holdings = m.get("holdings", {})
    few, many = holdings.get("100", {}), holdings.get("10000", {})
    for key, name in (("working_set", "working set"), ("handles", "handles"),
                      ("gdi", "GDI objects"), ("user", "USER objects"),
                      ("windows", "top-level windows")):
        first, later = few.get(key), many.get(key)
        # Pages come and go; the counts must not move at all.
        judged = None if key == "working_set" else _same(first, later)
        figures.append(Figure(f"{name} after 10,000 ticks", later, "", first,
                              ratio(later, first), "= after 100", judged))
    size = m.get("exe_bytes")
    figures.append(Figure("tarnvale.exe size", size, "bytes", SIZE_AIM_BYTES,
                          ratio(size, SIZE_AIM_BYTES), "<= 112 KiB",
                          None if size is None else size <= SIZE_AIM_BYTES))
    figures += _compared(m, "tarnvale.exe size", m.get("against", {}).get("exe_bytes"), "bytes",
                         SIZE_AIM_BYTES)
    imports = m.get("imports")
    figures.append(Figure("imported DLLs", None if imports is None else len(imports), "", None, None,
                          "system DLLs only", None if imports is None else
                          all(dll.upper() in SYSTEM_DLLS for dll in imports)))
    return figures


def _tick_figures(m):
    figures = []
    for state, aim in TICK_CALLS_AIM.items():
        tick = m.get("tick_calls", {}).get(state)
        calls = None if tick is None else tick["calls"]
        figures.append(Figure(f"calls per tick, {state}", calls, "", aim, ratio(calls, aim),
                              f"= {aim}", None if calls is None else calls == aim))
        if tick is not None:
            figures.append(Figure(f"  logic time per tick, {state}", tick["ns"] / 1000, "us"))
    return figures


def build_figures(measurements):
    return (_idle_figures(measurements) + _latency_figures(measurements) +
            _startup_figures(measurements) + _footprint_figures(measurements) +
            _tick_figures(measurements))


def _show(value):
    if value is None:
        return "no figure"
    if isinstance(value, float) and value.is_integer() and abs(value) < 1e6:
        return f"{int(value):,}"
    if isinstance(value, float):
        return f"{value:,.3f}" if abs(value) < 10 else f"{value:,.1f}"
    if isinstance(value, int):
        return f"{value:,}"
    return str(value)


def format_table(figures):
    header = ("figure", "value", "unit", "baseline", "ratio", "aim", "met")
    rows = [header] + [
        (f.name, _show(f.value), f.unit, "" if f.baseline is None else _show(f.baseline),
         "" if f.ratio is None else f"{f.ratio:.2f}", f.aim,
         "" if f.met is None else ("yes" if f.met else "NO"))
        for f in figures]
    widths = [max(len(row[column]) for row in rows) for column in range(len(header))]
    lines = ["  ".join(cell.ljust(width) for cell, width in zip(row, widths)).rstrip()
             for row in rows]
    lines.insert(1, "  ".join("-" * width for width in widths))
    return "\n".join(lines)


def to_json(figures, measurements, machine):
    return json.dumps({"machine": machine, "figures": [asdict(f) for f in figures],
                       "measurements": measurements}, indent=2)
