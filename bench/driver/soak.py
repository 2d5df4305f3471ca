"""The soak: ten copies with ten targets under a seeded random churn for
TARNVALE_SOAK_SECONDS (600), then "Exit" for each; soak_churn.exe does it all from
inside Wine and logs each event, and this keeps its log with the figures."""

import os

from readings import soak_log
from wine import log

COPIES = 10


def measure_soak(wine, m, log_path):
    seconds = int(os.environ.get("TARNVALE_SOAK_SECONDS", 600))
    seed = int(os.environ.get("TARNVALE_SOAK_SEED", 1))
    wine.start("fake_tray.exe")
    wine.probe("wait-window", "Shell_TrayWnd", "20000")
    log(f"soak: {COPIES} copies under churn, {seconds} s, seed {seed}")
    # Its own shell: the churn ends it and starts it again.
    code, lines = wine.run("soak_churn.exe", str(seconds), str(seed), str(COPIES),
                           timeout=seconds + 900)
    log_path.parent.mkdir(parents=True, exist_ok=True)
    log_path.write_text("\n".join(lines) + "\n")
    m["soak"] = soak_log(lines)
    m["soak"].update({"seconds": seconds, "seed": seed, "copies": COPIES, "exit_code": code,
                      "log": str(log_path)})
