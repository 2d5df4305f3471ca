"""The desktop the modes measure on: the stand-in shell, targets, copies of tarnvale.exe
and the bare loops, started and waited for through the probe; and the idle measurements
that the modes share."""

from wine import log, measure_idle

TARGET_CLASS = "TarnvaleBenchTarget"
MAIN_CLASS = "TarnvaleMain"
BARE_CLASS = "TarnvaleIdleBaseline"
WAIT_MS = "20000"


def start_shell(wine):
    wine.start("fake_shell.exe")
    wine.probe("wait-window", "Progman", WAIT_MS)


def start_target(wine, target_class=TARGET_CLASS, *extra):
    wine.start("target_app.exe", "--class", target_class, "--title", f"{target_class} window",
               *extra)
    wine.probe("wait-window", target_class, WAIT_MS)


def start_copy(wine, target_class=TARGET_CLASS, program="tarnvale.exe"):
    wine.start(program, target_class)
    wine.probe("wait-attached", target_class, WAIT_MS)


def start_bare(wine, *mode):
    """The idle baseline: a tick that does nothing, or --reads/--lookups TEXT."""
    wine.start("idle_baseline.exe", *mode)
    wine.probe("wait-window", BARE_CLASS, WAIT_MS)


def close(wine, window_class, count=1):
    for _ in range(count):
        wine.probe("close", window_class)


def measure_bare(wine, seconds, *mode):
    """The idle cost of a bare loop, started for the measurement and closed after it."""
    start_bare(wine, *mode)
    cpu, _ = measure_idle(wine, "idle_baseline.exe", seconds)
    close(wine, BARE_CLASS)
    return cpu


def measure_bare_lookups_and_reads(wine, seconds, cpu):
    """The bare loops of a tick with its target gone and attached; leaves the target."""
    log(f"bare lookups, {seconds} s")
    cpu["bare_lookups"] = measure_bare(wine, seconds, "--lookups", TARGET_CLASS)
    log(f"bare reads of an attached target, {seconds} s")
    start_target(wine)
    wine.probe("attach", TARGET_CLASS)
    cpu["bare_reads"] = measure_bare(wine, seconds, "--reads", TARGET_CLASS)


def measure_target_gone(wine, seconds):
    """A copy's idle cost once its target is closed for good; ends the copy."""
    log(f"tarnvale.exe with its target gone, {seconds} s")
    close(wine, TARGET_CLASS)
    cpu, _ = measure_idle(wine, "tarnvale.exe", seconds)
    close(wine, MAIN_CLASS)
    return cpu
