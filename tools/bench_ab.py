#!/usr/bin/env python3
"""Reads the JSON report of `glimfx_bench --compare A B` and prints, for each
workload, the CPU time per call of both builds and their ratio b/a (the
fastest repetition where the report holds them all: on a shared machine,
other work only ever adds time; else the median),
then the range of the ratios over the game's workloads (tiles and sprites up
to 96 pixels a side, 640x480, the 800x600 frame) and over the larger ones."""
import json
import math
import sys

GAME_SIZES = ("16x16", "32x32", "64x64", "640x480", "800x600")


def times_of(report):
    fastest, medians = {}, {}
    for entry in report["benchmarks"]:
        workload, who = entry["run_name"].rsplit("/", 1)
        if entry.get("run_type") == "iteration":
            best = fastest.setdefault(workload, {})
            best[who] = min(best.get(who, float("inf")), entry["cpu_time"])
        elif entry.get("aggregate_name") == "median":
            medians.setdefault(workload, {})[who] = entry["cpu_time"]
    times = fastest or medians
    return {w: t for w, t in times.items() if "a" in t and "b" in t}


def summary(label, ratios):
    if not ratios:
        return
    mean = math.exp(sum(math.log(r) for r in ratios) / len(ratios))
    print("%s: b/a from %.3f to %.3f, geometric mean %.3f (%d workloads)" %
          (label, min(ratios), max(ratios), mean, len(ratios)))


def main():
    with open(sys.argv[1]) as f:
        times = times_of(json.load(f))
    game, larger = [], []
    print("%-34s %12s %12s %7s" % ("workload", "a ns", "b ns", "b/a"))
    for workload in sorted(times):
        a, b = times[workload]["a"], times[workload]["b"]
        print("%-34s %12.1f %12.1f %7.3f" % (workload, a, b, b / a))
        (game if workload.rsplit("/", 1)[1] in GAME_SIZES else larger).append(b / a)
    summary("game workloads", game)
    summary("larger workloads", larger)
    return 0 if times else 1


if __name__ == "__main__":
    sys.exit(main())
