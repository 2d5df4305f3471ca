"""Starts Windows programs under the caller's Wine session (WINEPREFIX and DISPLAY in
the environment), runs the probe, and reads CPU time and memory from Linux
(/proc/PID/task/*/schedstat: user and system, in ns)."""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

PROBE_TIMEOUT_S = 180
SETTLE_S = 3  # start-up's own cost is not idle cost
TURN_SETTLE_S = 1  # a program let go again first catches up on its timer


def setting(name, default):
    return int(os.environ.get(f"TARNVALE_BENCH_{name}", default))


def log(text):
    print(f"[bench] {text}", file=sys.stderr, flush=True)


def is_process_of(name, comm):
    """Whether a Linux process of this name (/proc/PID/comm) is the program `name`. The
    wineserver runs as wineserver32 or wineserver64. A Windows program's Linux name is
    its file name, cut to 15 characters as Linux keeps it; the start.exe that Wine
    launches it through has the program's name only in its command line, and is not it."""
    if name == "wineserver":
        return comm.startswith(name)
    return comm.lower() == name.lower()[:15]


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

    def run(self, program, *args, timeout=PROBE_TIMEOUT_S):
        """Runs a Windows program to its end; its exit code and output lines, Wine's own
        complaints included."""
        # Into a file, not a pipe: the first program of a session starts Wine's own
        # services, which inherit its output and would hold a pipe open for good.
        with tempfile.TemporaryFile(mode="w+") as output:
            done = subprocess.run(["wine", str(self.bin_dir / program), *args],
                                  stdout=output, stderr=subprocess.STDOUT, timeout=timeout)
            output.seek(0)
            return done.returncode, output.read().splitlines()

    def windows_path(self, path):
        """How the session's programs name a Linux path."""
        return subprocess.run(["winepath", "-w", str(path)], capture_output=True, text=True,
                              check=True).stdout.strip()

    def probe(self, *args):
        code, lines = self.run("bench_probe.exe", *args)
        if code != 0:
            # The probe says what it saw; one that says nothing could not look at all.
            seen = " | ".join(lines[-3:]) or "printed nothing: the probe itself did not run"
            raise RuntimeError(f"bench_probe {' '.join(args)} ended with exit code {code}: "
                               f"{seen}")
        return lines

    def _ours(self, pid):
        try:
            environ = Path(f"/proc/{pid}/environ").read_bytes().split(b"\0")
        except OSError:
            return False
        return f"WINEPREFIX={self.prefix}".encode() in environ

    def pids_of(self, name):
        """The Linux processes of running Windows programs of ours, by file name."""
        found = []
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                comm = (entry / "comm").read_text().strip()
            except OSError:
                continue
            if is_process_of(name, comm) and self._ours(entry.name):
                found.append(int(entry.name))
        return found

    def pid_of(self, name):
        found = self.pids_of(name)
        if not found:
            raise RuntimeError(f"no process for {name}")
        return found[0]

    def stop_all(self):
        for process in self.started:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.started = []


def cpu_ns(pid):
    total = 0
    try:
        tasks = list(Path(f"/proc/{pid}/task").iterdir())
    except OSError:
        return 0  # the process ended
    for task in tasks:
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, IndexError, ValueError):
            pass  # a thread that ended meanwhile
    return total


def resident_bytes(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    return int(re.search(r"^VmRSS:\s+(\d+) kB", status, re.M).group(1)) * 1024


def measure_idle_of(wine, pids, seconds, settle=SETTLE_S):
    """CPU per minute of the processes together and of the wineserver, while nothing
    else happens."""
    server = wine.pid_of("wineserver")
    time.sleep(settle)
    start = (time.monotonic(), sum(cpu_ns(pid) for pid in pids), cpu_ns(server))
    time.sleep(seconds)
    end = (time.monotonic(), sum(cpu_ns(pid) for pid in pids), cpu_ns(server))
    per_minute = 60 / (end[0] - start[0]) / 1e6
    return {"process": (end[1] - start[1]) * per_minute,
            "wineserver": (end[2] - start[2]) * per_minute}


def measure_idle(wine, program, seconds):
    """CPU per minute of one program and of the wineserver, and its resident memory."""
    pid = wine.pid_of(program)
    return measure_idle_of(wine, [pid], seconds), resident_bytes(pid)


def _send(pids, which):
    for pid in pids:
        try:
            os.kill(pid, which)
        except ProcessLookupError:
            pass  # it ended; the measurement of the other says so by its figures


def measure_in_turns(wine, first, second, seconds, interval):
    """Idle CPU per minute of two groups of processes, measured in turns of `interval`
    seconds, `seconds` each in all: lists of the same length, the n-th of each measured
    one after the other. The group not measured is stopped meanwhile (SIGSTOP), so that
    the wineserver's time in a turn is the measured group's; a drift in what Wine or the
    machine charges then touches both of a pair alike. The order alternates within the
    pairs, so that neither group always follows the other's stop."""
    groups = (first, second)
    measured = ([], [])
    for turn in range(max(1, round(seconds / interval))):
        for which in ((0, 1) if turn % 2 == 0 else (1, 0)):
            stopped = groups[1 - which]
            # The first turn follows a change of the desktop, whose cost lingers.
            settle = SETTLE_S if not measured[0] and not measured[1] else TURN_SETTLE_S
            _send(stopped, signal.SIGSTOP)
            try:
                measured[which].append(measure_idle_of(wine, groups[which], interval,
                                                       settle=settle))
            finally:
                _send(stopped, signal.SIGCONT)
    return measured
