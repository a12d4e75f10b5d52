#!/usr/bin/env python3
"""Runs both programs, the straightforward baseline, the parse floor and the
library peers side by side on the generated inputs, and prints a table of
median wall time, peak resident memory and ratios. Also writes the tables as
CSV and PNG plots (gnuplot) into bench/results/.

    bench/run.py [--size medium|large|huge|all] [--runs N] [--family F ...]
                 [--only PROGRAM ...] [--previous BUILD_DIR] [--timeout S] [--csv NAME]
    bench/run.py --small [--runs N]      # small inputs, whole process, paired with the baseline
    bench/run.py --sweep                 # time and memory per arc from 10^5 to 1.6 x 10^7 nodes
    bench/run.py --growth [--family F ...]  # the same for the acyclic, chain, tail and leap families, 2.5 x 10^5 to 4 x 10^6
    bench/run.py --replot

Runs are interleaved (one of each program, then the next round, which
starts with the next program), so that a noisy neighbour, and the price of
memory that no earlier run freed, fall on all of them alike. --previous adds the programs of
another build (of the previous main, say) as "previous". Negative-cycle
families measure the time to the refusal; the baseline never stops on them
and the peers take O(n m), so only ours, the previous build and the parse
floor run there. A run over the timeout counts as the timeout. The table
gives median wall and CPU time (user and system), and for the distance
program the scans per node and the engine that finished.
"""
import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "bench")
DATA = os.path.join(ROOT, "bench", "data")
RESULTS = os.path.join(ROOT, "bench", "results")
# Path-count families name their pair after "@" (see gen.cpp); without one,
# the pair is the first and the last node.
FAMILIES = ["dist-random", "dist-grid", "dist-road", "dist-road-pot", "dist-long", "dist-wide",
            "dist-dag", "dist-hub", "dist-schedule",
            "dist-cycle-front", "dist-cycle-deep", "dist-cycle-long", "dist-cycle-woven",
            "dist-dag-far", "dist-dag-far-back", "dist-hub-shuffled",
            "dist-tail", "dist-tail-disguised", "dist-tail-hub",
            "dist-tail-cycle", "dist-tail-disguised-cycle", "dist-tail-hub-cycle",
            "dist-leap-long", "dist-leap-square", "dist-leap-wide",
            "dist-tail-joined", "dist-tail-joined-wide", "dist-tail-disguised-wide",
            "count-random", "count-random@rand1", "count-random@rand2", "count-random@apart", "count-random@same",
            "count-zero@rand1", "count-zero@rand2",
            "count-grid", "count-grid@middles", "count-grid@near",
            "count-king", "count-king@middles", "count-king@near",
            "count-road@middles", "count-road@near", "count-road@rand1"]
FLOORS = ["parse floor", "hold floor"]
PEERS = ["igraph", "lemon", "boost"]
SWEEP = [100000, 200000, 500000, 1000000, 2000000, 4000000, 8000000, 16000000]


def build():
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release",
                    "-DBUILD_TESTING=OFF", "-DBUILD_BENCH=ON"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "-j", str(os.cpu_count())], check=True,
                   stdout=subprocess.DEVNULL)


def data_file(family, size):
    os.makedirs(DATA, exist_ok=True)
    path = os.path.join(DATA, f"{family.replace('@', '-')}-{size}.txt")
    if not os.path.exists(path):
        graph, _, pair = family.partition("@")
        with open(path + ".tmp", "wb") as out:
            subprocess.run([os.path.join(BUILD, "bench", "gen"), graph, str(size), "1"] + ([pair] if pair else []),
                           check=True, stdout=out)
        os.rename(path + ".tmp", path)
    return path


def is_cycle(family):
    return family.startswith("dist-cycle") or family.endswith("-cycle")


def commands(family, previous):
    """Program name -> (argv, input name, output name) for one family."""
    distance = family.startswith("dist")
    inp, out = ("mirtavosken.in", "mirtavosken.out") if distance else ("9-quembol.in", "quembol.out")
    program = "mirtavosken2" if distance else "quembol"
    table = {"ours": [os.path.join(BUILD, program)]}
    if previous:
        table["previous"] = [os.path.join(previous, program)]
    if not is_cycle(family):
        table["baseline"] = [os.path.join(BUILD, "bench", "mirtavosken_baseline" if distance else "quembol_baseline")]
    table["parse floor"] = [os.path.join(BUILD, "bench", "parse_floor"), inp]
    table["hold floor"] = [os.path.join(BUILD, "bench", "hold_floor"), inp]
    for peer in PEERS if not is_cycle(family) else []:
        exe = os.path.join(BUILD, "bench", f"{peer}_peer")
        if os.path.exists(exe):
            table[peer] = [exe, "distance" if distance else "count"]
    return {name: (argv, inp, out) for name, argv in table.items()}


def run_once(argv, data, inp, out, timeout):
    """Wall seconds, peak RSS in MiB, what the run left (the output bytes,
    or its message where it refused the input) and CPU seconds."""
    with tempfile.TemporaryDirectory() as work:
        os.symlink(data, os.path.join(work, inp))
        proc = subprocess.run([os.path.join(BUILD, "bench", "measure"), "-t", str(timeout)] + argv, cwd=work,
                              capture_output=True, text=True)
        wall, rss_kib, cpu = proc.stdout.split()
        wall, rss, cpu = float(wall), int(rss_kib) / 1024, float(cpu)
        if proc.returncode == 124:
            return wall, rss, "timeout", cpu
        if proc.returncode == 1 and "negative cycle" in proc.stderr:
            return wall, rss, "refused: " + proc.stderr.split(": ", 2)[-1].strip(), cpu
        if proc.returncode != 0:
            raise RuntimeError(f"{argv[0]} failed: {proc.stderr}")
        result = os.path.join(work, out)
        return wall, rss, open(result, "rb").read() if os.path.exists(result) else None, cpu


def verdict(name, output, ours):
    if name in FLOORS:
        return ""
    if output == "timeout":
        return "timeout"
    if isinstance(output, str):  # a refusal: a real negative cycle, named
        return output[:60] if name == "ours" else ("same" if output == ours else "refused")
    return "same" if output == ours else "DIFFERS"


def measure(family, size, runs, only, previous, timeout):
    data = data_file(family, size)
    cmds = {k: v for k, v in commands(family, previous).items() if not only or k in only or k == "ours"}
    times = {k: [] for k in cmds}
    cpus = {k: [] for k in cmds}
    memory = {k: [] for k in cmds}
    outputs = {}
    names = list(cmds)
    for round_ in range(runs):
        # Each round starts with another program: the first one after a
        # round finds less memory freed before it and pays for fresh pages.
        for name in names[round_ % len(names):] + names[:round_ % len(names)]:
            argv, inp, out = cmds[name]
            if outputs.get(name) == "timeout":
                continue  # once is enough
            wall, rss, output, cpu = run_once(argv, data, inp, out, timeout)
            times[name].append(wall)
            cpus[name].append(cpu)
            memory[name].append(rss)
            outputs[name] = output
    settled = settled_nodes(family, data) if family.startswith("count") else scans_per_node(data)
    return [(family, size, name, statistics.median(times[name]), max(memory[name]),
             verdict(name, outputs[name], outputs["ours"]), settled.get(name, ""), statistics.median(cpus[name]))
            for name in cmds]


def settled_nodes(family, data):
    """Nodes settled: ours from each end (S+D), as its bench build reports;
    previous, every node that S reaches."""
    with tempfile.TemporaryDirectory() as work:
        os.symlink(data, os.path.join(work, "9-quembol.in"))
        proc = subprocess.run([os.path.join(BUILD, "bench", "settled")], cwd=work, capture_output=True,
                              text=True, check=True)
        ours = "+".join(proc.stdout.split()[0:2])
    reached = subprocess.run([os.path.join(BUILD, "bench", "reachable"), data], capture_output=True, text=True,
                             check=True).stdout.strip()
    return {"ours": ours, "previous": reached}


def scans_per_node(data):
    """Scans per reached node of ours and the engine that finished, as
    bench/scans reports them."""
    with tempfile.TemporaryDirectory() as work:
        os.symlink(data, os.path.join(work, "mirtavosken.in"))
        proc = subprocess.run([os.path.join(BUILD, "bench", "scans")], cwd=work, capture_output=True, text=True,
                              check=True)
    return {"ours": proc.stdout.split()[0] + " " + proc.stdout.split()[-1]}


def ratio(value, reference):
    return f"{value / reference:6.2f}x" if reference else "      -"


def machine_line(runs):
    return (f"machine: {platform.processor() or platform.machine()}, {os.cpu_count()} cores, "
            f"Linux {platform.release()}; median of {runs} interleaved runs, whole process")


def report(rows, runs):
    print("\n" + machine_line(runs) + "\n")
    header = f"{'family':26} {'size':7} {'program':12} {'time s':>8} {'cpu s':>8} {'peak MiB':>9} " \
             f"{'/previous':>9} {'cpu/prev':>9} {'/baseline':>9} {'/floor':>8} {'/hold':>7} {'/best peer':>10} " \
             f"{'work':>20}  output"
    print(header)
    print("-" * len(header))
    groups = {}
    for row in rows:
        groups.setdefault((row[0], row[1]), []).append(row)
    for (family, size), group in groups.items():
        by = {r[2]: r for r in group}
        get = lambda name, field=3: by[name][field] if name in by else 0
        peers = [by[p][3] for p in PEERS if p in by]
        best = min(peers) if peers else 0
        for name, r in by.items():
            print(f"{family:26} {size:7} {name:12} {r[3]:8.3f} {r[7]:8.3f} {r[4]:9.1f} {ratio(r[3], get('previous')):>9} "
                  f"{ratio(r[7], get('previous', 7)):>9} {ratio(r[3], get('baseline')):>9} "
                  f"{ratio(r[3], get('parse floor')):>8} {ratio(r[3], get('hold floor')):>7} {ratio(r[3], best):>10} "
                  f"{r[6]:>20}  {r[5]}")
        print()


def load(name="results.csv"):
    with open(os.path.join(RESULTS, name)) as f:
        next(f)
        return [(r[0], r[1], r[2], float(r[3]), float(r[4]), r[5], r[6] if len(r) > 6 else "",
                 float(r[7]) if len(r) > 7 else 0.0)
                for r in (line.rstrip("\n").split(",", 7) for line in f)]


def save(rows, name="results.csv"):
    os.makedirs(RESULTS, exist_ok=True)
    with open(os.path.join(RESULTS, name), "w") as f:
        f.write("family,size,program,seconds,peak_mib,output,work,cpu_seconds\n")
        for r in rows:
            cpu = f"{r[7]:.4f}" if len(r) > 7 else ""
            f.write(f"{r[0]},{r[1]},{r[2]},{r[3]:.4f},{r[4]:.1f},{r[5].replace(',', ';')},{r[6] if len(r) > 6 else ''},{cpu}\n")


def gnuplot(script):
    if not shutil.which("gnuplot"):
        print("gnuplot not found: no plot")
        return False
    subprocess.run(["gnuplot"], input=script.encode(), check=True)
    return True


def plot_families(rows):
    present = {r[2] for r in rows}
    programs = [p for p in ["ours", "previous", "baseline"] + FLOORS + PEERS if p in present]
    dat = os.path.join(RESULTS, "plot.dat")
    with open(dat, "w") as f:
        f.write("family " + " ".join(f'"{p}"' for p in programs) + "\n")
        for size in ["medium", "large", "huge"]:
            for family in FAMILIES:
                got = {r[2]: r[3] for r in rows if r[0] == family and r[1] == size}
                if got:
                    f.write(f'"{family} {size}" ' + " ".join(f"{got[p]:.4f}" if p in got else "NaN" for p in programs) + "\n")
    png = os.path.join(RESULTS, "time.png")
    if gnuplot(f"""
set terminal pngcairo size 1400,560 font ',10'
set output '{png}'
set title 'Wall time per input family (median, lower is better)'
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set logscale y
set ylabel 'seconds (log scale)'
set key outside right top
set bmargin 7
set xtics rotate by -30
plot for [i=2:{len(programs) + 1}] '{dat}' using i:xtic(1) title columnhead(i)
"""):
        print(f"wrote {png}")


def small(runs):
    """Whole-process time and peak memory on small inputs, ours paired with
    the baseline run by run."""
    rows = []
    cases = [("dist", 3), ("dist", 1000), ("dist", 10000), ("dist", 100000),
             ("count", 3), ("count", 1000), ("count", 10000), ("count", 100000)]
    for kind, n in cases:
        family = f"{kind}-random"
        print(f"measuring {family} {n} ...", file=sys.stderr, flush=True)
        data = os.path.join(ROOT, "examples", "mirtavosken.in" if kind == "dist" else "9-quembol.in") \
            if n == 3 else data_file(family, n)
        cmds = {k: v for k, v in commands(family, None).items() if k in ("ours", "baseline")}
        times = {k: [] for k in cmds}
        memory = {k: [] for k in cmds}
        outputs = {}
        for _ in range(runs):
            for name, (argv, inp, out) in cmds.items():
                wall, rss, output, _ = run_once(argv, data, inp, out, 60)
                times[name].append(wall)
                memory[name].append(rss)
                outputs[name] = output
        for name in cmds:
            rows.append((family, str(n), name, statistics.median(times[name]), max(memory[name]),
                         verdict(name, outputs[name], outputs["ours"])))
    print("\n" + machine_line(runs) + "\n")
    print(f"{'program':8} {'nodes':>7} {'ours ms':>8} {'baseline ms':>11} {'ratio':>6} {'ours MiB':>9} {'base MiB':>9} {'ratio':>6}  output")
    for i in range(0, len(rows), 2):
        o, b = rows[i], rows[i + 1]
        print(f"{o[0][:5]:8} {o[1]:>7} {o[3] * 1000:8.1f} {b[3] * 1000:11.1f} {o[3] / b[3]:6.2f} "
              f"{o[4]:9.1f} {b[4]:9.1f} {o[4] / b[4]:6.2f}  {b[5]}")
    save(rows, "small.csv")


GROWTH = [250000, 1000000, 4000000]
ARCS_PER_NODE = {"dist-random": 5, "count-random": 8, "dist-dag": 5, "dist-hub": 1.5, "dist-schedule": 4,
                 "dist-dag-far": 5, "dist-dag-far-back": 5, "dist-hub-shuffled": 1.5,
                 "dist-tail": 4, "dist-tail-disguised": 4, "dist-tail-hub": 2.5,
                 "dist-tail-cycle": 4, "dist-tail-disguised-cycle": 4, "dist-tail-hub-cycle": 2.5,
                 "dist-leap-long": 5, "dist-leap-square": 5, "dist-leap-wide": 5,
                 "dist-tail-joined": 5, "dist-tail-joined-wide": 5, "dist-tail-disguised-wide": 4}
GROWTH_FAMILIES = ("dist-random", "dist-dag-far", "dist-dag-far-back", "dist-hub-shuffled",
                   "dist-tail", "dist-tail-disguised", "dist-tail-hub",
                   "dist-tail-cycle", "dist-tail-disguised-cycle", "dist-tail-hub-cycle",
                   "dist-leap-long", "dist-leap-square", "dist-leap-wide",
                   "dist-tail-joined", "dist-tail-joined-wide", "dist-tail-disguised-wide")


def sweep(runs, families=("dist-random", "count-random"), sizes=SWEEP, csv="sweep.csv"):
    """Time and peak memory per arc of ours on the random families, from 10^5
    to 1.6 x 10^7 nodes (or the given families and sizes)."""
    rows = []
    for family in families:
        arcs_per_node = ARCS_PER_NODE[family]
        for n in sizes:
            print(f"measuring {family} {n} ...", file=sys.stderr, flush=True)
            data = data_file(family, n)
            argv, inp, out = commands(family, None)["ours"]
            walls, peaks = [], []
            for _ in range(runs):
                wall, rss, _, _ = run_once(argv, data, inp, out, 600)
                walls.append(wall)
                peaks.append(rss)
            arcs = int(arcs_per_node * n)
            rows.append((family, str(n), "ours", statistics.median(walls), max(peaks), f"{arcs}",
                         scans_per_node(data)["ours"] if family.startswith("dist") else ""))
    print("\n" + machine_line(runs) + "\n")
    print(f"{'family':26} {'nodes':>9} {'arcs':>10} {'time s':>8} {'us/arc':>7} {'peak MiB':>9} {'bytes/arc':>9}  work")
    for r in rows:
        arcs = int(r[5])
        print(f"{r[0]:26} {r[1]:>9} {arcs:>10} {r[3]:8.3f} {r[3] / arcs * 1e6:7.3f} {r[4]:9.1f} "
              f"{r[4] * 2**20 / arcs:9.1f}  {r[6]}")
    save(rows, csv)
    if csv == "sweep.csv":
        plot_sweep(rows)


def plot_sweep(rows):
    dat = os.path.join(RESULTS, "sweep.dat")
    with open(dat, "w") as f:
        for family in ("dist-random", "count-random"):
            f.write(f'"{family}"\n')
            for r in rows:
                if r[0] == family:
                    arcs = int(r[5])
                    f.write(f"{r[1]} {r[3] / arcs * 1e6:.5f} {r[4] * 2**20 / arcs:.3f}\n")
            f.write("\n\n")
    png = os.path.join(RESULTS, "scaling.png")
    if gnuplot(f"""
set terminal pngcairo size 1100,460 font ',10'
set output '{png}'
set multiplot layout 1,2 title 'Growth on the random families (medians, log-log)'
set logscale xy
set xlabel 'nodes'
set grid
set key top left
set ylabel 'microseconds per arc'
plot for [i=0:1] '{dat}' index i using 1:2 with linespoints title columnhead(1)
set ylabel 'peak bytes per arc'
plot for [i=0:1] '{dat}' index i using 1:3 with linespoints title columnhead(1)
unset multiplot
"""):
        print(f"wrote {png}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--size", choices=["medium", "large", "huge", "all"], default="all")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only", nargs="*", help="programs besides ours: previous, baseline, 'parse floor', igraph, lemon, boost")
    parser.add_argument("--family", nargs="*", choices=FAMILIES, default=FAMILIES)
    parser.add_argument("--previous", help="a build directory holding another version's programs")
    parser.add_argument("--timeout", type=int, default=60, help="seconds before a run counts as timed out")
    parser.add_argument("--small", action="store_true", help="the small-input table")
    parser.add_argument("--sweep", action="store_true", help="the scaling sweep")
    parser.add_argument("--growth", action="store_true", help="the scaling sweep of the acyclic and chain families")
    parser.add_argument("--replot", action="store_true", help="redraw the plots from the saved CSV files")
    parser.add_argument("--csv", default="results.csv", help="where in bench/results/ the table goes")
    args = parser.parse_args()
    if args.replot:
        plot_families(load())
        if os.path.exists(os.path.join(RESULTS, "sweep.csv")):
            plot_sweep(load("sweep.csv"))
        return
    build()
    if args.small:
        small(args.runs)
        return
    if args.sweep:
        sweep(args.runs)
        return
    if args.growth:
        sweep(args.runs, [f for f in GROWTH_FAMILIES if f in args.family],
              GROWTH, "growth.csv")
        return
    sizes = ["medium", "large"] if args.size == "all" else [args.size]
    rows = []
    for size in sizes:
        for family in args.family:
            print(f"measuring {family} {size} ...", file=sys.stderr, flush=True)
            rows += measure(family, size, args.runs, args.only, args.previous, args.timeout)
    report(rows, args.runs)
    save(rows, args.csv)
    if args.csv == "results.csv":
        plot_families(rows)


if __name__ == "__main__":
    main()
