"""Figures of the soak under churn: what happened, how fast each copy made good, and
what was left at the end."""

from figures import Figure, median, percentile, ratio

LATENCIES = (("refind", "re-find"), ("reattach", "re-attach"),
             ("after_hang", "re-attach after a hang"), ("shell", "all attached to a new shell"))
# Pages come and go; a working set may move this much after the first minute.
WORKING_SET_SLACK = 1.1
HOLDINGS = (("working_set", "working set", "bytes"), ("handles", "handles", ""))


def _none_of(name, found):
    return Figure(name, len(found), "", None, None, "= 0", not found)


def _all_of(name, good, count):
    return Figure(name, good, "", count, ratio(good, count), f"= {count}", good == count)


def _latency_figures(s):
    figures = []
    for key, label in LATENCIES:
        found = [ms for _, ms in s["latencies"].get(key, [])]
        early = s["early"].get(key, 0)
        if not found and not early:
            continue
        figures.append(Figure(f"{label} p50 ({len(found)} events)", percentile(found, 50), "ms",
                              50, ratio(percentile(found, 50), 50)))
        figures.append(Figure(f"  {label} p99", percentile(found, 99), "ms", 50,
                              ratio(percentile(found, 99), 50)))
        figures.append(Figure(f"  {label} max", max(found, default=None), "ms", 50,
                              ratio(max(found, default=None), 50)))
        if early:
            figures.append(Figure(f"  {label}: attached before the clock started", early))
    return figures


def _grew(key, later, first):
    if later is None or first is None:
        return False
    return later > first * WORKING_SET_SLACK if key == "working_set" else later > first


def _holdings_figures(s):
    phases = s["holdings"]
    start, end = phases.get("start", {}), phases.get("end", {})
    # Growth is judged from the first minute on; a short soak has only its start.
    settled = phases.get("minute", start)
    figures = []
    for key, name, unit in HOLDINGS:
        def typical(phase):
            found = median([c[key] for c in phase.values() if c.get(key) is not None])
            return found if found is None else round(found)
        figures.append(Figure(f"{name} per copy, start (median)", typical(start), unit))
        figures.append(Figure("  after the first minute", typical(settled), unit))
        figures.append(Figure("  at the end", typical(end), unit, typical(settled),
                              ratio(typical(end), typical(settled))))
        grew = [copy for copy, held in end.items()
                if _grew(key, held.get(key), settled.get(copy, {}).get(key))]
        slack = f" x {WORKING_SET_SLACK}" if key == "working_set" else ""
        figures.append(Figure(f"  copies whose {name} grew after the first minute{slack}",
                              len(grew), "", None, None, "= 0", not grew))
    return figures


def _end_figures(s):
    copies = s["copies"]
    exits, extras = s["exits"], s["extra_exits"]
    icons = list(s["icons"].values()) + s["extra_icons"]
    targets = list(s["targets"].values()) + s["extra_targets"]
    existing = [top for exists, top in targets if exists]
    return [
        _all_of("copies with their target attached before the exit",
                sum(s["attached_at_end"].values()), copies),
        _all_of("copies ended when closed", sum(ended for ended, _ in exits.values()), copies),
        Figure("  slowest to end", max((ms for _, ms in exits.values()), default=None), "ms"),
        _all_of("extra copies ended when closed", sum(ended for ended, _ in extras),
                len(extras)),
        # "none": the tray no longer kept anything of it, which proves nothing.
        _all_of("icons removed (copies and extras)", icons.count("0"), len(icons)),
        _all_of("targets left top-level", sum(existing), len(existing)),
        Figure("  targets that still exist", len(existing), "", len(targets)),
    ]


def soak_figures(m):
    s = m.get("soak")
    if s is None:
        return []
    events = s["events"]
    figures = [Figure(f"soak: {s['copies']} copies, {s['seconds']} s, seed {s['seed']}: events",
                      sum(events.values()))]
    figures += [Figure(f"  {kind}", count) for kind, count in sorted(events.items())]
    figures += _latency_figures(s)
    figures += [
        _none_of("not attached again within 10 s", s["timeouts"]),
        _none_of("topmost targets attached", s["topmost_attached"]),
        Figure("  attached within two ticks of being made topmost (a race, apart)",
               s["early"].get("topmost", 0)),
        _none_of("copies that gave no answer within 5 s", s["hangs"]),
        Figure("  slowest answer", max(s["answer_ms"], default=None), "ms", 5000,
               ratio(max(s["answer_ms"], default=None), 5000)),
        _none_of("copies that ended on their own", s["lost"]),
        _none_of("errors of the churn driver", s["errors"]),
    ]
    return figures + _holdings_figures(s) + _end_figures(s)
