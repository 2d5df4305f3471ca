"""Runs the benchmark under the Wine session the caller has set up (WINEPREFIX and
DISPLAY in the environment) and prints the table of figures.

  run_bench.py --bin WINDOWS_BIN_DIR --tick-benchmark HOST_PROGRAM --out RESULTS_JSON

CPU time comes from Linux (/proc/PID/task/*/schedstat: user and system, in ns) for the
measured program's process and for the wineserver over the same interval; everything
that needs the window system is timed from inside Wine by bench_probe.exe.
Quicker runs: TARNVALE_BENCH_IDLE_SECONDS, _TRIALS, _REFIND_TRIALS, _STARTS."""

import argparse
import json
import os
import platform
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import figures  # noqa: E402

TARGET_CLASS = "TarnvaleBenchTarget"
PROBE_TIMEOUT_S = 180


def setting(name, default):
    return int(os.environ.get(f"TARNVALE_BENCH_{name}", default))


def log(text):
    print(f"[bench] {text}", file=sys.stderr, flush=True)


class Wine:
    """Starts Windows programs and finds their Linux processes."""

    def __init__(self, bin_dir):
        self.bin_dir = Path(bin_dir)
        self.prefix = os.environ["WINEPREFIX"]
        self.started = []

    def start(self, program, *args):
        process = subprocess.Popen(["wine", str(self.bin_dir / program), *args],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.started.append(process)
        return process

    def probe(self, *args):
        # Into a file, not a pipe: the first program of a session starts Wine's own
        # services, which inherit its output and would hold a pipe open for good.
        with tempfile.TemporaryFile(mode="w+") as output:
            done = subprocess.run(["wine", str(self.bin_dir / "bench_probe.exe"), *args],
                                  stdout=output, stderr=subprocess.DEVNULL,
                                  timeout=PROBE_TIMEOUT_S)
            output.seek(0)
            lines = output.read().splitlines()
        if done.returncode != 0:
            raise RuntimeError(f"bench_probe {' '.join(args)}: {' | '.join(lines[-3:])}")
        return lines

    def _ours(self, pid):
        try:
            environ = Path(f"/proc/{pid}/environ").read_bytes().split(b"\0")
        except OSError:
            return False
        return f"WINEPREFIX={self.prefix}".encode() in environ

    def pid_of(self, name):
        """The Linux process of a running Windows program of ours, by its file name."""
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                command = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(
                    errors="replace")
                comm = (entry / "comm").read_text().strip()
            except OSError:
                continue
            # The wineserver runs as wineserver32 or wineserver64; a Windows program's
            # command line is its Windows one.
            matches = (comm.startswith(name) if name == "wineserver"
                       else name.lower() in command.lower())
            if matches and self._ours(entry.name):
                return int(entry.name)
        raise RuntimeError(f"no process for {name}")

    def stop_all(self):
        for process in self.started:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.started = []


def cpu_ns(pid):
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, IndexError, ValueError):
            pass  # a thread that ended meanwhile
    return total


def resident_bytes(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    return int(re.search(r"^VmRSS:\s+(\d+) kB", status, re.M).group(1)) * 1024


def measure_idle(wine, program, seconds):
    """CPU per minute of the program and of the wineserver while nothing else happens."""
    pid, server = wine.pid_of(program), wine.pid_of("wineserver")
    time.sleep(3)  # let start-up settle
    start = (time.monotonic(), cpu_ns(pid), cpu_ns(server))
    time.sleep(seconds)
    end = (time.monotonic(), cpu_ns(pid), cpu_ns(server))
    per_minute = 60 / (end[0] - start[0]) / 1e6
    return ({"process": (end[1] - start[1]) * per_minute,
             "wineserver": (end[2] - start[2]) * per_minute}, resident_bytes(pid))


def values(lines, key):
    return [float(line.split()[1]) for line in lines if line.split()[:1] == [key]]


def holdings(lines):
    found = {}
    for line in lines:
        parts = line.split()
        if parts[:1] == ["holdings"]:
            found[parts[1]] = {key: None if value == "none" else int(value)
                               for key, value in (part.split("=") for part in parts[2:])}
    return found


def start_target(wine, *extra):
    wine.start("target_app.exe", "--class", TARGET_CLASS, "--title", "Tarnvale bench target",
               *extra)
    wine.probe("wait-window", TARGET_CLASS, "20000")


def measure_under_wine(wine, m):
    idle = setting("IDLE_SECONDS", 60)
    cpu = m["cpu_ms_per_min"] = {}
    wine.start("fake_shell.exe")
    wine.probe("wait-window", "Progman", "20000")
    start_target(wine)

    log(f"idle baseline, {idle} s")
    wine.start("idle_baseline.exe")
    wine.probe("wait-window", "TarnvaleIdleBaseline", "20000")
    cpu["idle_baseline"], baseline_resident = measure_idle(wine, "idle_baseline.exe", idle)
    wine.probe("close", "TarnvaleIdleBaseline")

    log(f"tarnvale.exe with its target attached, {idle} s")
    wine.start("tarnvale.exe", TARGET_CLASS)
    wine.probe("wait-attached", TARGET_CLASS, "20000")
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

    log(f"tarnvale.exe with its target gone, {idle} s")
    wine.probe("close", TARGET_CLASS)
    cpu["target_gone"], _ = measure_idle(wine, "tarnvale.exe", idle)
    wine.probe("close", "TarnvaleMain")

    log(f"bare lookups, {idle} s")
    wine.start("idle_baseline.exe", "--lookups", TARGET_CLASS)
    wine.probe("wait-window", "TarnvaleIdleBaseline", "20000")
    cpu["bare_lookups"], _ = measure_idle(wine, "idle_baseline.exe", idle)
    wine.probe("close", "TarnvaleIdleBaseline")

    log(f"bare reads of an attached target, {idle} s")
    start_target(wine)
    wine.probe("attach", TARGET_CLASS)
    wine.start("idle_baseline.exe", "--reads", TARGET_CLASS)
    wine.probe("wait-window", "TarnvaleIdleBaseline", "20000")
    cpu["bare_reads"], _ = measure_idle(wine, "idle_baseline.exe", idle)
    wine.probe("close", "TarnvaleIdleBaseline")

    starts = setting("STARTS", 20)
    log(f"start-up, {starts} runs each")
    wine.probe("close", TARGET_CLASS)
    start_target(wine)
    lines = wine.probe("startup", TARGET_CLASS, str(starts))
    m["startup_ms"] = values(lines, "startup_ms")
    m["start_baseline_ms"] = values(lines, "start_baseline_ms")
    wine.probe("close", TARGET_CLASS)

    refinds = setting("REFIND_TRIALS", 50)
    log(f"re-find, {refinds} trials")
    reopening = wine.start("target_app.exe", "--class", TARGET_CLASS, "--reopen-when-gone")
    wine.probe("wait-window", TARGET_CLASS, "20000")
    wine.start("tarnvale.exe", TARGET_CLASS)
    wine.probe("wait-attached", TARGET_CLASS, "20000")
    lines = wine.probe("refind", TARGET_CLASS, str(refinds))
    m["refind_ms"] = values(lines, "refind_ms")
    m["refind_foreground_retaken"] = int(values(lines, "refind_foreground_retaken")[0])
    wine.probe("close", "TarnvaleMain")
    reopening.kill()


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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tick-benchmark", required=True)
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--out", required=True)
    parser.add_argument("--without-wine", metavar="WHY",
                        help="measure only what needs no Wine, and say why")
    args = parser.parse_args()

    m = {}
    measure_executable(args.bin, args.objdump, m)
    measure_ticks(args.tick_benchmark, m)
    if args.without_wine:
        m["without_wine"] = args.without_wine
    else:
        wine = Wine(args.bin)
        try:
            measure_under_wine(wine, m)
        finally:
            wine.stop_all()
    results = figures.build_figures(m)
    about = machine()
    print(f"Tarnvale benchmark on {about['system']}, {about['cpus']} CPUs ({about['cpu']}), "
          f"{about['wine']}")
    print(figures.format_table(results))
    print("imported DLLs: " + ", ".join(m["imports"]))
    if args.without_wine:
        print(f"No figure under Wine: {args.without_wine}")
    out = Path(args.out)
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text(figures.to_json(results, m, about) + "\n")
    print(f"written: {out}")


if __name__ == "__main__":
    main()
