#!/usr/bin/env python3
"""Medians and paired ratios from a runs file of bench/time_to_menu.sh.

For each program: the median, 10th and 90th percentile of its times, and the
ratio of its median to the baseline's. Then the paired ratio: the median over
rounds of its time divided by the baseline's time in the same round (the
machine's load changes slowly compared with one round), with a 95 % bootstrap
interval of that median (rounds resampled with replacement, fixed seed, so a
rerun prints the same). Runs that failed, and for the paired ratio rounds
where either run failed, are left out. The one place these figures are
computed: time_to_menu.exe only times and prints the runs.

Usage: bench/paired_ratios.py RUNS-FILE [NAME/NAME ...]
  NAME/NAME pairs compare two programs with each other instead of with the
  baseline, e.g. hundred/floor+msvcrt+100.
"""
import random
import statistics
import sys

RESAMPLES = 2000


def read_rounds(path):
    rounds = {}
    with open(path, encoding="utf-8") as runs:
        for line in runs:
            fields = line.split()
            if len(fields) == 4 and fields[0] == "run":
                rounds.setdefault(int(fields[1]), {})[fields[2]] = float(fields[3])
    return list(rounds.values())


def spread(rounds, name):
    """Median, 10th and 90th percentile of a program's times that worked."""
    times = sorted(r[name] for r in rounds if r.get(name, -1) > 0)
    if not times:
        return None
    return len(times), statistics.median(times), times[len(times) // 10], times[len(times) * 9 // 10]


def paired(rounds, name, over):
    ratios = [r[name] / r[over] for r in rounds if r.get(name, -1) > 0 and r.get(over, -1) > 0]
    if not ratios:
        return None
    rng = random.Random(1)
    medians = sorted(statistics.median(rng.choices(ratios, k=len(ratios))) for _ in range(RESAMPLES))
    low, high = medians[int(RESAMPLES * 0.025)], medians[int(RESAMPLES * 0.975) - 1]
    return len(ratios), statistics.median(ratios), low, high


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    rounds = read_rounds(argv[1])
    names = []
    for r in rounds:
        names += [n for n in r if n not in names]
    if "baseline" not in names:
        print(f"{argv[1]}: no baseline runs", file=sys.stderr)
        return 1
    baseline = spread(rounds, "baseline")
    for name in names:
        result = spread(rounds, name)
        if result is None:
            print(f"{name}: no run worked")
            continue
        count, median, p10, p90 = result
        print(f"{name}: {count} runs, median {median:.2f} ms (p10 {p10:.2f}, p90 {p90:.2f}), "
              f"ratio of medians {median / baseline[1]:.3f}")
    pairs = [tuple(p.split("/", 1)) for p in argv[2:]] or [(n, "baseline") for n in names if n != "baseline"]
    for name, over in pairs:
        result = paired(rounds, name, over)
        if result is None:
            print(f"{name} / {over}: no round has both")
            continue
        count, median, low, high = result
        print(f"{name} / {over}: {count} rounds, paired median {median:.4f}, 95 % {low:.3f} to {high:.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
