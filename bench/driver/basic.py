"""One copy with one target on an almost empty desktop: idle CPU beside the bare loops,
ticks, re-attach and re-find latency, start-up; and, given another build's tarnvale.exe,
its working set and start-up measured in the same session, its starts in turns with ours."""

from pathlib import Path

from desktop import (BARE_CLASS, MAIN_CLASS, TARGET_CLASS, close,
                     measure_bare_lookups_and_reads, measure_target_gone, start_bare,
                     start_copy, start_shell, start_target)
from readings import holdings, values
from wine import log, measure_idle, setting


def measure_basic(wine, m, against=None):
    """`against`: the folder of another build whose tarnvale.exe is measured beside ours,
    into m["against"]."""
    idle = setting("IDLE_SECONDS", 60)
    cpu = m["cpu_ms_per_min"] = {}
    start_shell(wine)
    start_target(wine)

    log(f"idle baseline, {idle} s")
    start_bare(wine)
    cpu["idle_baseline"], baseline_resident = measure_idle(wine, "idle_baseline.exe", idle)
    close(wine, BARE_CLASS)

    log(f"tarnvale.exe with its target attached, {idle} s")
    start_copy(wine)
    cpu["attached"], resident = measure_idle(wine, "tarnvale.exe", idle)
    m["working_set_after_minute"] = {"tarnvale": resident, "idle_baseline": baseline_resident}

    log("10,000 ticks")
    m["holdings"] = holdings(wine.probe("ticks", "100", "9900"))
    trials = setting("TRIALS", 200)
    log(f"re-attach, {trials} trials")
    lines = wine.probe("reattach", TARGET_CLASS, str(trials))
    m["reattach_ms"] = values(lines, "reattach_ms")
    m["reattach_skipped"] = int(values(lines, "reattach_skipped")[0])
    m["reattach_foreground_retaken"] = int(values(lines, "reattach_foreground_retaken")[0])

    cpu["target_gone"] = measure_target_gone(wine, idle)
    measure_bare_lookups_and_reads(wine, idle, cpu)

    other = Path(against, "tarnvale.exe").resolve() if against else None
    if other:
        log(f"{other} with its target attached, {idle} s")
        close(wine, TARGET_CLASS)
        start_target(wine)
        start_copy(wine, program=str(other))
        m["against"]["cpu_attached"], m["against"]["working_set_after_minute"] = measure_idle(
            wine, "tarnvale.exe", idle)
        close(wine, MAIN_CLASS)

    starts = setting("STARTS", 20)
    log(f"start-up, {starts} runs each")
    close(wine, TARGET_CLASS)
    start_target(wine)
    lines = wine.probe("startup", TARGET_CLASS, str(starts),
                       *([wine.windows_path(other)] if other else []))
    m["startup_ms"] = values(lines, "startup_ms")
    m["start_baseline_ms"] = values(lines, "start_baseline_ms")
    if other:
        m["against"]["startup_ms"] = values(lines, "startup_other_ms")
    close(wine, TARGET_CLASS)

    refinds = setting("REFIND_TRIALS", 50)
    log(f"re-find, {refinds} trials")
    reopening = wine.start("target_app.exe", "--class", TARGET_CLASS, "--reopen-when-gone")
    wine.probe("wait-window", TARGET_CLASS, "20000")
    start_copy(wine)
    lines = wine.probe("refind", TARGET_CLASS, str(refinds))
    m["refind_ms"] = values(lines, "refind_ms")
    m["refind_foreground_retaken"] = int(values(lines, "refind_foreground_retaken")[0])
    close(wine, MAIN_CLASS)
    reopening.kill()
