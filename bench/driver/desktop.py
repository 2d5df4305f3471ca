"""The desktop the modes measure on: the stand-in shell, targets, copies of tarnvale.exe
and the bare loops, started and waited for through the probe."""

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


def start_copy(wine, target_class=TARGET_CLASS):
    wine.start("tarnvale.exe", target_class)
    wine.probe("wait-attached", target_class, WAIT_MS)


def start_bare(wine, *mode):
    """The idle baseline: a tick that does nothing, or --reads/--lookups TEXT."""
    wine.start("idle_baseline.exe", *mode)
    wine.probe("wait-window", BARE_CLASS, WAIT_MS)


def close(wine, window_class, count=1):
    for _ in range(count):
        wine.probe("close", window_class)
