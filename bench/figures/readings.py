"""Reads what the benchmark's Windows programs print: the probe's lines and the soak's
log. Pure functions; a misread line would print a plausible but false table."""


def values(lines, key):
    return [float(line.split()[1]) for line in lines if line.split()[:1] == [key]]


def _counts(parts):
    return {key: None if value == "none" else int(value)
            for key, value in (part.split("=") for part in parts)}


def holdings(lines):
    """The probe's "holdings TICKS key=value..." lines, by the number of ticks."""
    found = {}
    for line in lines:
        parts = line.split()
        if parts[:1] == ["holdings"]:
            found[parts[1]] = _counts(parts[2:])
    return found


def soak_log(lines):
    """The churn driver's log, as lists and counts (times in seconds from the start)."""
    s = {"events": {}, "event_log": [], "latencies": {}, "early": {}, "timeouts": [],
         "topmost_attached": [], "hangs": [], "lost": [], "answer_ms": [], "holdings": {},
         "attached_at_end": {}, "exits": {}, "icons": {}, "targets": {}, "extra_exits": [],
         "extra_icons": [], "extra_targets": [], "errors": []}
    for line in lines:
        parts = line.split()
        if not parts:
            continue
        key, rest = parts[0], parts[1:]
        if key == "event":
            s["events"][rest[1]] = s["events"].get(rest[1], 0) + 1
            s["event_log"].append([float(rest[0]), rest[1], int(rest[2])])
        elif key == "latency":
            s["latencies"].setdefault(rest[1], []).append([float(rest[0]), float(rest[2])])
        elif key == "early":
            s["early"][rest[1]] = s["early"].get(rest[1], 0) + 1
        elif key == "timeout":
            s["timeouts"].append([float(rest[0]), rest[1], int(rest[2])])
        elif key == "topmost_attached":
            s["topmost_attached"].append(float(rest[0]))
        elif key in ("hang", "lost"):
            s[key + "s" if key == "hang" else key].append([float(rest[0]), rest[1]])
        elif key == "answer":
            s["answer_ms"].append(float(rest[2]))
        elif key == "holdings":
            s["holdings"].setdefault(rest[1], {})[rest[2]] = _counts(rest[3:])
        elif key == "attached_at_end":
            s["attached_at_end"][rest[0]] = rest[1] == "1"
        elif key == "exit" and rest[0] == "extra":
            s["extra_exits"].append([rest[1] == "1", float(rest[2])])
        elif key == "exit":
            s["exits"][rest[0]] = [rest[1] == "1", float(rest[2])]
        elif key == "icon" and rest[0] == "extra":
            s["extra_icons"].append(rest[1])
        elif key == "icon":
            s["icons"][rest[0]] = rest[1]
        elif key == "target" and rest[0] == "extra":
            s["extra_targets"].append([rest[1] == "1", rest[2] == "1"])
        elif key == "target":
            s["targets"][rest[0]] = [rest[1] == "1", rest[2] == "1"]
        elif key == "error:":
            s["errors"].append(" ".join(rest))
    return s
