"""Figures of the cost against the desktop's size and against the number of copies:
each size and count beside the bare loops measured on the same desktop."""

from figures import Figure, cpu_total, median, percentile, ratio

SCALE_AIM = 1.1
STATES = (("attached", "bare_reads", "target attached"),
          ("target_gone", "bare_lookups", "target gone"))


def _within(share):
    return None if share is None else share <= SCALE_AIM


def _by_number(table):
    return sorted(table, key=int)


def turn_totals(turns):
    """A program's CPU per minute in each turn, the wineserver's included."""
    return [total for total in map(cpu_total, turns or []) if total is not None]


def median_cpu(turns):
    return median(turn_totals(turns))


def turn_ratios(turns, bare_turns):
    """Each turn of Tarnvale beside the bare loop's turn measured next to it."""
    pairs = zip(map(cpu_total, turns or []), map(cpu_total, bare_turns or []))
    return [share for share in (ratio(ours, bare) for ours, bare in pairs) if share is not None]


def windows_figures(m):
    cpu = m.get("scale_cpu_ms_per_min")
    if not cpu:
        return []
    sizes = _by_number(cpu)
    figures = []
    for key, bare_key, label in STATES:
        for size in sizes:
            turns, bare_turns = cpu[size].get(key), cpu[size].get(bare_key)
            shares = turn_ratios(turns, bare_turns)
            share = median(shares)
            figures.append(Figure(f"{int(size):,} windows, {label}", median_cpu(turns), "ms/min",
                                  median_cpu(bare_turns), share, f"<= {SCALE_AIM}",
                                  _within(share)))
            # How far the pairs' ratios stray: the middle half of them.
            spread = (None if not shares else
                      f"{percentile(shares, 25):.2f} to {percentile(shares, 75):.2f}")
            figures.append(Figure(f"  ratio's middle half, {len(shares)} pairs", spread))
        first, last = sizes[0], sizes[-1]
        at = {size: (median_cpu(cpu[size].get(key)), median_cpu(cpu[size].get(bare_key)))
              for size in (first, last)}
        growth, bare_growth = (ratio(at[last][i], at[first][i]) for i in (0, 1))
        figures.append(Figure(f"  growth {int(first):,} -> {int(last):,} windows, {label}",
                              growth, "x", bare_growth, ratio(growth, bare_growth)))
        # What the windows added: the multiple above mostly repeats the two sizes' own
        # ratios, while the added cost is what one window more costs each tick.
        added, bare_added = (None if None in (at[last][i], at[first][i])
                             else at[last][i] - at[first][i] for i in (0, 1))
        share = ratio(added, bare_added)
        figures.append(Figure(f"  added by {int(last) - int(first):,} more windows, {label}",
                              added, "ms/min", bare_added, share, f"<= {SCALE_AIM}",
                              _within(share)))
    return figures


def copies_figures(m):
    cpu = m.get("copies_cpu_ms_per_min")
    if not cpu:
        return []
    kept = m.get("copies_attached_at_end", {})
    counts = _by_number(cpu)
    first = counts[0]
    per_first = ratio(cpu_total(cpu[first].get("tarnvale")), int(first))
    figures = []
    for count in counts:
        value = cpu_total(cpu[count].get("tarnvale"))
        bare = cpu_total(cpu[count].get("bare_reads"))
        share = ratio(value, bare)
        copies = "1 copy" if int(count) == 1 else f"{int(count)} copies"
        figures.append(Figure(f"{copies}, attached, total", value, "ms/min", bare,
                              share, f"<= {SCALE_AIM}", _within(share)))
        if count != first:
            per_copy = ratio(value, int(count))
            linear = ratio(per_copy, per_first)
            figures.append(Figure(f"  per copy, beside {int(first)} alone", per_copy, "ms/min",
                                  per_first, linear, f"<= {SCALE_AIM} (linear)", _within(linear)))
        attached = kept.get(count)
        figures.append(Figure("  copies with their target attached at the end", attached, "",
                              int(count), ratio(attached, int(count)), f"= {int(count)}",
                              None if attached is None else attached == int(count)))
    return figures
