"""Runs the benchmark under the Wine session the caller has set up (WINEPREFIX and
DISPLAY in the environment), prints a table of figures for each mode and writes them,
with every raw measurement, to RESULTS_JSON, and pictures next to it.

  run_bench.py --bin WINDOWS_BIN_DIR --out RESULTS_JSON [--modes basic,scale,copies,soak]
               [--tick-benchmark HOST_PROGRAM] [--without-wine WHY] [--against OTHER_BIN_DIR]

basic: one copy on an almost empty desktop (idle CPU, latencies, start-up, ticks; and,
       on the host, the file and the calls per tick); with --against, another build's
       tarnvale.exe beside it: its file, working set and start-up, in the same session
scale: idle CPU with 10, 100 and 1,000 other windows open, in turns with the bare loops
copies: 1, 5 and 20 copies, each with its own target
soak: 10 copies under churn for TARNVALE_SOAK_SECONDS (600)

CPU time comes from Linux for the measured processes and the wineserver over the same
interval; everything that needs the window system is timed from inside Wine by our
Windows programs. Quicker runs: TARNVALE_BENCH_IDLE_SECONDS (every idle interval),
_SCALE_SECONDS (in turns of _SCALE_TURN_SECONDS), _COPIES_SECONDS, _TRIALS,
_REFIND_TRIALS, _STARTS."""

import argparse
import json
import os
import platform
import re
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parent / "figures"))
import figures  # noqa: E402
import plots  # noqa: E402
import scale_figures  # noqa: E402
import soak_figures  # noqa: E402
from basic import measure_basic  # noqa: E402
from copies import measure_copies  # noqa: E402
from scale import measure_scale  # noqa: E402
from soak import measure_soak  # noqa: E402
from wine import Wine  # noqa: E402

MODES = ("basic", "scale", "copies", "soak")
TABLES = {
    "basic": ("One copy, one target, an almost empty desktop", figures.build_figures),
    "scale": ("Cost against the number of other windows open", scale_figures.windows_figures),
    "copies": ("Cost against the number of copies", scale_figures.copies_figures),
    "soak": ("Soak under churn", soak_figures.soak_figures),
}


def measure_executable(bin_dir, objdump, m):
    exe = Path(bin_dir) / "tarnvale.exe"
    m["exe_bytes"] = exe.stat().st_size
    dump = subprocess.run([objdump, "-p", str(exe)], capture_output=True, text=True,
                          check=True).stdout
    m["imports"] = re.findall(r"DLL Name: (\S+)", dump)


def measure_ticks(program, m):
    done = subprocess.run([program, "--benchmark_format=json"], capture_output=True, text=True,
                          check=True)
    m["tick_calls"] = {}
    for run in json.loads(done.stdout)["benchmarks"]:
        scale = {"ns": 1, "us": 1e3, "ms": 1e6}[run["time_unit"]]
        m["tick_calls"][run["name"]] = {"calls": round(run["calls"], 3),
                                        "ns": run["cpu_time"] * scale}


def machine():
    model = re.search(r"model name\s*:\s*(.*)", Path("/proc/cpuinfo").read_text())
    try:
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    except OSError:
        wine = ""
    wine = wine or "Wine not running here"
    return {"system": platform.platform(), "cpus": os.cpu_count(),
            "cpu": model.group(1) if model else platform.processor(), "wine": wine}


def measure(wine, mode, m, out, against):
    if mode == "basic":
        measure_basic(wine, m, against)
    elif mode == "scale":
        measure_scale(wine, m)
    elif mode == "copies":
        measure_copies(wine, m)
    elif mode == "soak":
        measure_soak(wine, m, out.parent / "soak_log.txt")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tick-benchmark", help="needed by the basic mode")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--build", default="", help="which build is measured, for the heading")
    parser.add_argument("--out", required=True)
    parser.add_argument("--modes", default="basic",
                        help="comma-separated, of " + ", ".join(MODES))
    parser.add_argument("--without-wine", metavar="WHY",
                        help="measure only what needs no Wine, and say why")
    parser.add_argument("--against", metavar="OTHER_BIN_DIR",
                        help="another build's programs, its tarnvale.exe measured beside ours")
    args = parser.parse_args()
    modes = [mode for mode in MODES if mode in args.modes.split(",")]
    unknown = set(args.modes.split(",")) - set(MODES)
    if unknown or not modes:
        parser.error(f"unknown modes: {', '.join(sorted(unknown)) or args.modes}")
    if "basic" in modes and not args.tick_benchmark:
        parser.error("the basic mode needs --tick-benchmark")
    out = Path(args.out)

    m = {"modes": modes}
    failed = {}
    if "basic" in modes:
        measure_executable(args.bin, args.objdump, m)
        measure_ticks(args.tick_benchmark, m)
        if args.against:
            m["against"] = {"bin": args.against}
            measure_executable(args.against, args.objdump, m["against"])
    if args.without_wine:
        m["without_wine"] = args.without_wine
    else:
        for mode in modes:
            wine = Wine(args.bin)
            try:
                measure(wine, mode, m, out, args.against)
            except (RuntimeError, subprocess.SubprocessError) as error:
                # A mode that cannot measure must not take the other modes' figures
                # with it; the run still fails at the end.
                failed[mode] = str(error)
                print(f"[bench] {mode}: could not measure: {error}", file=sys.stderr)
            finally:
                wine.stop_all()  # each mode starts from an empty desktop
        if failed:
            m["failed_modes"] = failed

    about = machine()
    about["build"] = args.build or f"programs from {args.bin} under {about['wine']}"
    print(f"Tarnvale benchmark of the {about['build']}\n"
          f"machine: {about['system']}, {about['cpus']} CPUs ({about['cpu']})")
    if "against" in m:
        print(f"compared build: the tarnvale.exe of {args.against}, in the same session")
    results = []
    for mode in (mode for mode in modes if mode not in failed):
        title, build = TABLES[mode]
        table = build(m)
        results += table
        print(f"\n{title}\n{figures.format_table(table)}")
    if "imports" in m:
        print("imported DLLs: " + ", ".join(m["imports"]))
    if args.without_wine:
        print(f"No figure under Wine: {args.without_wine}")
    for mode, why in failed.items():
        print(f"No figure of the {mode} mode: {why}")
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text(figures.to_json(results, m, about) + "\n")
    print(f"written: {out}")
    pictures, why_not = plots.write_plots(m, out.parent)
    for picture in pictures:
        print(f"written: {picture}")
    if why_not:
        print(why_not)
    if failed:
        sys.exit(1)


if __name__ == "__main__":
    main()
