"""Cost against the desktop's size: idle CPU of one copy with its target attached and
gone, beside the bare loop making the same calls, with 10, 100 and 1,000 other
top-level windows open. Both run side by side and are measured in turns of a few
seconds: Wine's cost of a lookup among 1,000 windows drifts by a factor of three from
one minute to the next, far more than the two differ."""

from desktop import (BARE_CLASS, MAIN_CLASS, TARGET_CLASS, close, start_bare, start_copy,
                     start_shell, start_target)
from wine import log, measure_in_turns, setting

SIZES = (10, 100, 1000)
CLUTTER_CLASS = "TarnvaleBenchClutter"


def _in_turns(wine, here, key, bare_key, seconds, interval):
    ours, bare = wine.pids_of("tarnvale.exe"), wine.pids_of("idle_baseline.exe")
    if len(ours) != 1 or len(bare) != 1:
        raise RuntimeError(f"{len(ours)} tarnvale.exe and {len(bare)} idle_baseline.exe "
                           "processes, not one of each")
    here[key], here[bare_key] = measure_in_turns(wine, ours, bare, seconds, interval)


def measure_scale(wine, m):
    seconds = setting("SCALE_SECONDS", setting("IDLE_SECONDS", 60))
    interval = setting("SCALE_TURN_SECONDS", 5)
    cpu = m["scale_cpu_ms_per_min"] = {}
    m["scale_turn_seconds"] = interval
    start_shell(wine)
    for size in SIZES:
        clutter = wine.start("many_windows.exe", str(size))
        wine.probe("wait-window", CLUTTER_CLASS, "60000")
        here = cpu[str(size)] = {}
        turns = f"in turns of {interval} s, {seconds} s each"

        start_target(wine)
        start_copy(wine)
        start_bare(wine, "--reads", TARGET_CLASS)
        log(f"{size} windows, target attached: tarnvale.exe and the bare reads {turns}")
        _in_turns(wine, here, "attached", "bare_reads", seconds, interval)
        close(wine, BARE_CLASS)

        close(wine, TARGET_CLASS)
        start_bare(wine, "--lookups", TARGET_CLASS)
        log(f"{size} windows, target gone: tarnvale.exe and the bare lookups {turns}")
        _in_turns(wine, here, "target_gone", "bare_lookups", seconds, interval)
        close(wine, BARE_CLASS)
        close(wine, MAIN_CLASS)

        close(wine, CLUTTER_CLASS)
        clutter.wait(timeout=60)
