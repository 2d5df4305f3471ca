"""Cost against the desktop's size: idle CPU of one copy with its target attached and
gone, beside the bare loop making the same calls, with 10, 100 and 1,000 other
top-level windows open."""

from desktop import (TARGET_CLASS, close, measure_bare_lookups_and_reads, measure_target_gone,
                     start_copy, start_shell, start_target)
from wine import log, measure_idle, setting

SIZES = (10, 100, 1000)
CLUTTER_CLASS = "TarnvaleBenchClutter"


def measure_scale(wine, m):
    idle = setting("SCALE_SECONDS", setting("IDLE_SECONDS", 60))
    cpu = m["scale_cpu_ms_per_min"] = {}
    start_shell(wine)
    for size in SIZES:
        clutter = wine.start("many_windows.exe", str(size))
        wine.probe("wait-window", CLUTTER_CLASS, "60000")
        here = cpu[str(size)] = {}

        log(f"{size} windows: tarnvale.exe, target attached, {idle} s")
        start_target(wine)
        start_copy(wine)
        here["attached"], _ = measure_idle(wine, "tarnvale.exe", idle)
        log(f"{size} windows:")
        here["target_gone"] = measure_target_gone(wine, idle)
        measure_bare_lookups_and_reads(wine, idle, here)
        close(wine, TARGET_CLASS)

        close(wine, CLUTTER_CLASS)
        clutter.wait(timeout=60)
