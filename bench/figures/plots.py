"""Pictures of the figures, written next to results.json: CPU against the desktop's size
and against the number of copies, Tarnvale beside the bare loops; the soak's latencies
over its run."""

from figures import cpu_total
from scale_figures import STATES, median_cpu

CPU_PLOT = "cpu_scale.png"
SOAK_PLOT = "soak_latency.png"


def cpu_series(m):
    """(label, xs, ys, bare, colour) lines: CPU per minute against windows (the median
    of the turns) and against copies; Tarnvale and its bare loop share a colour."""
    windows, copies = [], []
    cpu = m.get("scale_cpu_ms_per_min") or {}
    sizes = sorted(cpu, key=int)
    for colour, (key, bare_key, label) in enumerate(STATES):
        for which, name, bare in ((key, f"Tarnvale, {label}", False),
                                  (bare_key, f"bare loop, {label}", True)):
            points = [(int(s), median_cpu(cpu[s].get(which))) for s in sizes]
            points = [(x, y) for x, y in points if y is not None]
            if points:
                windows.append((name, [x for x, _ in points], [y for _, y in points], bare,
                                f"C{colour}"))
    cpu = m.get("copies_cpu_ms_per_min") or {}
    counts = sorted(cpu, key=int)
    for which, name, bare in (("tarnvale", "Tarnvale copies", False),
                              ("bare_reads", "bare loops", True)):
        points = [(int(c), cpu_total(cpu[c].get(which))) for c in counts]
        points = [(x, y) for x, y in points if y is not None]
        if points:
            copies.append((name, [x for x, _ in points], [y for _, y in points], bare, "C2"))
    return windows, copies


def write_plots(m, folder):
    """The pictures there is data for; their paths, or why there are none."""
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        return [], "no pictures: matplotlib is not installed (scripts/setup.sh installs it)"
    written = []
    windows, copies = cpu_series(m)
    if windows or copies:
        figure, (left, right) = plt.subplots(1, 2, figsize=(11, 4.5))
        for axes, lines, xlabel in ((left, windows, "other top-level windows open"),
                                    (right, copies, "copies, each with its own target")):
            for name, xs, ys, bare, colour in lines:
                axes.plot(xs, ys, "--" if bare else "-", marker="s" if bare else "o",
                          color=colour, label=name)
            axes.set_xlabel(xlabel)
            axes.set_ylabel("CPU, ms per minute (process + wineserver)")
            axes.grid(True, alpha=0.3)
            if lines:
                axes.legend(fontsize=8)
        left.set_xscale("log")
        left.set_yscale("log")  # the lookups' cost grows a hundredfold
        left.set_title("Cost against the desktop's size")
        right.set_title("Cost against the number of copies")
        figure.tight_layout()
        written.append(folder / CPU_PLOT)
        figure.savefig(written[-1], dpi=100)
        plt.close(figure)
    soak = m.get("soak")
    if soak and soak["latencies"]:
        figure, axes = plt.subplots(figsize=(11, 4.5))
        for kind, points in sorted(soak["latencies"].items()):
            axes.scatter([t for t, _ in points], [ms for _, ms in points], s=12, label=kind)
        axes.set_yscale("log")
        axes.axhline(50, color="grey", linewidth=0.8, linestyle=":", label="one tick, 50 ms")
        axes.set_xlabel("seconds into the soak")
        axes.set_ylabel("to attached again, ms")
        axes.set_title(f"Soak: {soak['copies']} copies under churn, latency of each event")
        axes.grid(True, alpha=0.3)
        axes.legend(fontsize=8)
        figure.tight_layout()
        written.append(folder / SOAK_PLOT)
        figure.savefig(written[-1], dpi=100)
        plt.close(figure)
    return written, None
