#!/usr/bin/env python3
"""Turns the benchmark's JSON reports into the README's summary, the full
table in docs/ and the speed plot.

    bench_report.py --linux L.json [--dll64 W64.json ...] [--dll32 W32.json ...]
                    --targets bench/targets.json --readme README.md
                    --table docs/benchmarks.md --plot docs/images/speed.png
                    [--machine TEXT] [--command TEXT]

Entries are named op/layout/size/who; the median aggregate's CPU time is
used throughout, divided by the entry's "pixels" counter for ns per pixel.
"""
import argparse
import json
import statistics

SUMMARY_BEGIN = "<!-- bench-summary: written by tools/bench.sh -->"
SUMMARY_END = "<!-- /bench-summary -->"
OPS = ["blend-opaque", "blend-sprite", "night"]
LAYOUTS = ["565", "555", "24", "32"]
FLOOR = {"blend-opaque": "triad", "blend-sprite": "triad", "night": "in-place"}
PEER_NAMES = {"triad": "the triad floor", "in-place": "the in-place floor", "sdl2": "SDL2",
              "sdl2-rle": "SDL2-RLE", "plain": "the plain transcription",
              "maskstore": "the masked-store loop"}
BUILD_NAMES = {"dll32": "the 32-bit DLL", "dll64": "the 64-bit DLL"}
UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(path):
    """{workload: {who: (ns per call, pixels)}} from the median aggregates."""
    with open(path) as f:
        report = json.load(f)
    runs = {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "aggregate" or b.get("aggregate_name") != "median":
            continue
        workload, who = b["run_name"].rsplit("/", 1)
        ns = b["cpu_time"] * UNIT_NS[b.get("time_unit", "ns")]
        runs.setdefault(workload, {})[who] = (ns, b["pixels"])
    return report.get("context", {}), runs


def load_rounds(paths):
    """Like load, over several runs of one program: per entry, the median of
    the runs' times. The DLLs run in separate processes, one after the
    other; alternating rounds of both keeps a slow moment of the machine from
    landing on one build only."""
    rounds = [load(p)[1] for p in paths]
    runs = {}
    for workload, whos in rounds[0].items():
        for who, (_, pixels) in whos.items():
            times = [r[workload][who][0] for r in rounds if who in r.get(workload, {})]
            runs.setdefault(workload, {})[who] = (statistics.median(times), pixels)
    return runs


def ns_per_px(runs, workload, who):
    ns, pixels = runs.get(workload, {}).get(who, (None, None))
    return ns / pixels if ns is not None else None


def sizes_in(runs):
    """Rectangle sizes in the order of their pixel counts."""
    sizes = {w.split("/")[2] for w in runs if not w.startswith("frame/")}
    return sorted(sizes, key=lambda s: int(s.split("x")[0]) * int(s.split("x")[1]))


def rect_workloads(runs):
    return [f"{op}/{lay}/{size}" for size in sizes_in(runs) for lay in LAYOUTS for op in OPS
            if f"{op}/{lay}/{size}" in runs]


def targets_for(rules, workload):
    """{(who, peer): limit} for one workload; later rules replace earlier ones.

    A rule compares `who` (default the export) with a contender `peer` on the
    same workload; with `peer_size` instead, with its own figure at that size
    (peer "who@SIZE"); with `build` and `peer_build`, the figure of one build's
    report with another's ("who@BUILD")."""
    op, layout, size = workload.split("/")
    out = {}
    for r in rules:
        if op not in r.get("ops", [op]) or layout not in r.get("layouts", [layout]):
            continue
        limit = r["limit"]
        if isinstance(limit, dict):
            limit = limit.get(size)
        who = r.get("who", "export")
        if "peer_size" in r:
            key = (who, f"{who}@{r['peer_size']}")
        elif "build" in r:
            key = (f"{who}@{r['build']}", f"{who}@{r['peer_build']}")
        else:
            key = (who, r["peer"])
        out[key] = limit
    return {k: v for k, v in out.items() if v is not None}


def figure(runs, builds, workload, name):
    """ns per pixel of `name` on `workload`: a contender of `runs`, or
    "who@SIZE" (the same op and layout at another size) or "who@BUILD" (in
    builds[BUILD], keyed by workload as `runs`)."""
    if "@" not in name:
        return ns_per_px(runs, workload, name)
    who, where = name.split("@", 1)
    if where in builds:
        return ns_per_px(builds[where], workload, who)
    op, layout, _ = workload.split("/")
    return ns_per_px(runs, f"{op}/{layout}/{where}", who)


def frame_workloads(runs):
    return [f"frame/{lay}/800x600" for lay in LAYOUTS if f"frame/{lay}/800x600" in runs]


def judge(runs, rules, builds=None):
    """[(workload, who, peer, ratio, limit, held)] for every target with figures."""
    builds = builds or {}
    verdicts = []
    for w in rect_workloads(runs) + frame_workloads(runs):
        for (who, peer), limit in targets_for(rules, w).items():
            a, b = figure(runs, builds, w, who), figure(runs, builds, w, peer)
            if a is None or b is None:
                continue
            verdicts.append((w, who, peer, a / b, limit, a / b <= limit))
    return verdicts


def describe(name):
    if "@" not in name:
        return PEER_NAMES.get(name, name)
    who, where = name.split("@", 1)
    if where in BUILD_NAMES:
        return f"{PEER_NAMES.get(who, who)} of {BUILD_NAMES[where]}"
    return f"its {where} cost per pixel"


def cell(v, fmt="{:.3f}"):
    return "-" if v is None else fmt.format(v)


def ratio(a, b):
    return a / b if a is not None and b else None


def frame_rows(runs):
    rows = []
    for lay in LAYOUTS:
        w = f"frame/{lay}/800x600"
        if w not in runs:
            continue
        export, rle = runs[w].get("export"), runs[w].get("sdl2-rle")
        rows.append((lay, export[0] / 1e3 if export else None, rle[0] / 1e3 if rle else None,
                     ratio(export and export[0], rle and rle[0]), export[1] if export else None))
    return rows


def dll_rows(linux, dll64, dll32):
    rows = []
    for w in rect_workloads(linux) + [f"frame/{lay}/800x600" for lay in LAYOUTS]:
        so = ns_per_px(linux, w, "export")
        x64 = ns_per_px(dll64, w, "export")
        x32 = ns_per_px(dll32, w, "export")
        if so is None and x64 is None and x32 is None:
            continue
        rows.append((w, so, x64, x32, ratio(x32, x64)))
    return rows


def full_table(args, linux, dll64, dll32, verdicts, context):
    out = ["# Benchmark figures", "",
           f"Written by `tools/bench.sh`; do not edit. Machine: {args.machine}. "
           f"Command: `{args.command}`. Best path: {context.get('glimfx_best_path', '?')}.",
           "Median CPU time of 5 repetitions, interleaved at random in one process. Targets "
           "(`bench/targets.json`) are the highest allowed ratio of the export's time to a peer's.",
           "", "## ns per pixel", "",
           "| workload | export | avx512 | avx2 | sse2 | scalar | plain | SDL2 | SDL2-RLE | pixman "
           "| memcpy | floor |", "|---" * 12 + "|"]
    for w in rect_workloads(linux):
        floor = ns_per_px(linux, w, FLOOR[w.split("/")[0]])
        vals = [ns_per_px(linux, w, who) for who in
                ["export", "avx512", "avx2", "sse2", "scalar", "plain", "sdl2", "sdl2-rle", "pixman",
                 "memcpy"]]
        out.append(f"| {w} | " + " | ".join(cell(v) for v in vals + [floor]) + " |")

    out += ["", "## Ratios and targets", "",
            "Each ratio divides the export's time by the other's (scalar × plain: the scalar "
            "path's by the plain transcription's).", "",
            "| workload | × floor | × SDL2 | × SDL2-RLE | × pixman | scalar × plain | missed |",
            "|---|---|---|---|---|---|---|"]
    by_workload = {}
    for v in verdicts:
        by_workload.setdefault(v[0], []).append(v)
    for w in rect_workloads(linux):
        e = ns_per_px(linux, w, "export")
        r = [ratio(e, ns_per_px(linux, w, FLOOR[w.split("/")[0]])),
             ratio(e, ns_per_px(linux, w, "sdl2")), ratio(e, ns_per_px(linux, w, "sdl2-rle")),
             ratio(e, ns_per_px(linux, w, "pixman")),
             ratio(ns_per_px(linux, w, "scalar"), ns_per_px(linux, w, "plain"))]
        missed = [f"{peer}≤{limit:g}" if who == "export" else f"{who}/{peer}≤{limit:g}"
                  for _, who, peer, _, limit, held in by_workload.get(w, []) if not held]
        out.append(f"| {w} | " + " | ".join(cell(v) for v in r) + " | "
                   + (", ".join(missed) or "—") + " |")

    out += ["", "## Frame: 400 sprites (16–96 px a side, about 40 % key) on 800×600", "",
            "| layout | export µs | SDL2-RLE µs | export × SDL2-RLE | sprite pixels |",
            "|---|---|---|---|---|"]
    for lay, e, rle, r, px in frame_rows(linux):
        out.append(f"| {lay} | {cell(e, '{:.1f}')} | {cell(rle, '{:.1f}')} | {cell(r)} | {px:.0f} |")

    others = [v for v in verdicts if "@" in v[2] or v[0].startswith("frame/")]
    if others:
        out += ["", "## Targets across sizes, builds and frames", "",
                "| workload | figure | against | ratio | limit | held |", "|---|---|---|---|---|---|"]
        for w, who, peer, r, limit, held in others:
            out.append(f"| {w} | {describe(who)} | {describe(peer)} | {r:.3f} | {limit:g} | "
                       f"{'yes' if held else '**no**'} |")

    if dll64 or dll32:
        out += ["", "## The shipped libraries: Linux `.so` and the Windows DLLs under Wine", "",
                "ns per pixel of the export, each DLL loaded by name with `LoadLibrary` by "
                "`glimfx_bench_dll` (CPU time over all repetitions; Wine counts it in 10 ms "
                "ticks).", "",
                "| workload | Linux .so | 64-bit DLL | 32-bit DLL | 32-bit × 64-bit |",
                "|---|---|---|---|---|"]
        for w, so, x64, x32, r in dll_rows(linux, dll64, dll32):
            out.append(f"| {w} | {cell(so)} | {cell(x64)} | {cell(x32)} | {cell(r)} |")
    return "\n".join(out) + "\n"


def summary(args, linux, dll64, dll32, verdicts):
    """Three sentences for the README: the targets, the frame, the DLLs."""
    held = sum(1 for v in verdicts if v[5])
    sentences = [f"Last run ({args.machine}; `{args.command}`): {held} of {len(verdicts)} target "
                 f"ratios hold; every figure and every miss is in "
                 f"[docs/benchmarks.md](docs/benchmarks.md)."]
    frames = [f for f in frame_rows(linux) if f[1] and f[3]]
    if frames:
        times = [f[1] for f in frames]
        ratios = [f[3] for f in frames]
        sentences.append(f"An 800×600 frame of 400 sprites takes {min(times):.0f}–{max(times):.0f} µs "
                         f"in the four layouts, {min(ratios):.2f}–{max(ratios):.2f}× the time SDL2 "
                         f"with RLE takes.")
    rows = dll_rows(linux, dll64, dll32)
    r64 = [x64 / so for _, so, x64, _, _ in rows if so and x64]
    r3264 = [r for *_, r in rows if r]
    if r64 and r3264:
        sentences.append(f"Under Wine the 64-bit DLL takes {statistics.median(r64):.2f}× the Linux "
                         f"build's time and the 32-bit DLL {statistics.median(r3264):.2f}× the "
                         f"64-bit one (medians over workloads; {min(r3264):.2f}–{max(r3264):.2f}× "
                         f"for the 32-bit DLL).")
    return "\n".join([SUMMARY_BEGIN, " ".join(sentences), SUMMARY_END])


def write_readme(path, text):
    with open(path) as f:
        readme = f.read()
    start, end = readme.find(SUMMARY_BEGIN), readme.find(SUMMARY_END)
    if start < 0 or end < 0:
        raise SystemExit(f"{path}: no {SUMMARY_BEGIN} ... {SUMMARY_END} section")
    readme = readme[:start] + text + readme[end + len(SUMMARY_END):]
    with open(path, "w") as f:
        f.write(readme)


def plot(path, linux):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    sizes = sizes_in(linux)
    pixels = [int(s.split("x")[0]) * int(s.split("x")[1]) for s in sizes]
    lines = [("export", "export (libglimfx.so)", "tab:blue", "o", "-"),
             ("sdl2-rle", "SDL2-RLE", "tab:orange", "s", "-"),
             ("sdl2", "SDL2 tint fill", "tab:orange", "s", ":"),
             ("pixman", "pixman", "tab:green", "^", "-"),
             ("floor", "floor (triad / in-place)", "black", "", "--")]
    fig, axes = plt.subplots(len(OPS), len(LAYOUTS), figsize=(15, 10), sharex=True, sharey=True)
    for i, op in enumerate(OPS):
        for j, lay in enumerate(LAYOUTS):
            ax = axes[i][j]
            for who, label, colour, marker, style in lines:
                if who == "sdl2" and op != "night":
                    continue
                key = FLOOR[op] if who == "floor" else who
                pts = [(p, ns_per_px(linux, f"{op}/{lay}/{s}", key)) for p, s in zip(pixels, sizes)]
                pts = [(p, v) for p, v in pts if v is not None]
                if pts:
                    ax.plot(*zip(*pts), label=label, color=colour, marker=marker, linestyle=style,
                            markersize=4)
            ax.set_xscale("log")
            ax.set_yscale("log")
            ax.grid(True, which="major", alpha=0.3)
            ax.set_title(f"{op}, {lay}", fontsize=10)
            if j == 0:
                ax.set_ylabel("ns per pixel")
            if i == len(OPS) - 1:
                ax.set_xticks(pixels)
                ax.set_xticklabels(sizes, rotation=45, ha="right", fontsize=8)
                ax.minorticks_off()
    handles, labels = [], []
    for ax in axes.flat:
        for h, l in zip(*ax.get_legend_handles_labels()):
            if l not in labels:
                handles.append(h)
                labels.append(l)
    fig.legend(handles, labels, loc="lower center", ncol=len(labels), frameon=False)
    fig.suptitle("Median CPU ns per pixel by rectangle size (lower is faster)")
    fig.tight_layout(rect=(0, 0.04, 1, 1))
    fig.savefig(path, dpi=80)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--linux", required=True)
    p.add_argument("--dll64", nargs="+", help="one report per round")
    p.add_argument("--dll32", nargs="+", help="one report per round")
    p.add_argument("--targets", required=True)
    p.add_argument("--readme")
    p.add_argument("--table")
    p.add_argument("--plot")
    p.add_argument("--machine", default="this machine")
    p.add_argument("--command", default="tools/bench.sh")
    args = p.parse_args()

    context, linux = load(args.linux)
    dll64 = load_rounds(args.dll64) if args.dll64 else {}
    dll32 = load_rounds(args.dll32) if args.dll32 else {}
    with open(args.targets) as f:
        rules = json.load(f)["rules"]
    builds = {k: v for k, v in (("dll64", dll64), ("dll32", dll32)) if v}
    verdicts = judge(linux, rules, builds)

    text = summary(args, linux, dll64, dll32, verdicts)
    print(text)
    if args.readme:
        write_readme(args.readme, text)
    if args.table:
        with open(args.table, "w") as f:
            f.write(full_table(args, linux, dll64, dll32, verdicts, context))
    if args.plot:
        plot(args.plot, linux)


if __name__ == "__main__":
    main()
