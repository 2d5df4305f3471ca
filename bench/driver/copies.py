"""Cost against the number of copies: 1, 5 and 20 copies of tarnvale.exe, each with a
target of its own, attached and quiet, beside as many bare loops making the same calls."""

from desktop import BARE_CLASS, MAIN_CLASS, close, start_copy, start_shell, start_target
from wine import log, measure_idle_of, setting

COUNTS = (1, 5, 20)


def target_class(index):
    return f"TarnvaleBenchTarget{index}"


def attached_count(wine, count):
    attached = 0
    for index in range(count):
        code, _ = wine.run("bench_probe.exe", "wait-attached", target_class(index), "2000")
        attached += code == 0
    return attached


def measure_copies(wine, m):
    idle = setting("COPIES_SECONDS", setting("IDLE_SECONDS", 60))
    cpu = m["copies_cpu_ms_per_min"] = {}
    kept = m["copies_attached_at_end"] = {}
    start_shell(wine)
    for count in COUNTS:
        here = cpu[str(count)] = {}
        for index in range(count):
            start_target(wine, target_class(index))
        for index in range(count):
            start_copy(wine, target_class(index))
        log(f"{count} copies, {idle} s")
        copies = wine.pids_of("tarnvale.exe")
        if len(copies) != count:
            raise RuntimeError(f"{len(copies)} tarnvale.exe processes, not {count}")
        here["tarnvale"] = measure_idle_of(wine, copies, idle)
        kept[str(count)] = attached_count(wine, count)
        close(wine, MAIN_CLASS, count)

        for index in range(count):
            wine.probe("attach", target_class(index))
            wine.start("idle_baseline.exe", "--reads", target_class(index))
        wine.probe("wait-windows", BARE_CLASS, str(count), "60000")
        log(f"{count} bare loops, {idle} s")
        here["bare_reads"] = measure_idle_of(wine, wine.pids_of("idle_baseline.exe"), idle)
        close(wine, BARE_CLASS, count)
        for index in range(count):
            close(wine, target_class(index))
