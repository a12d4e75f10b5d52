#!/usr/bin/env python3
"""Runs both programs, the straightforward baseline, the parse floor and the
library peers side by side on the generated inputs, and prints a table of
median wall time, peak resident memory and ratios. Also writes the table as
CSV and a PNG plot (gnuplot) of time per family into bench/results/.

    bench/run.py [--size medium|large|all] [--runs N] [--family F ...] [--only PROGRAM ...]
    bench/run.py --replot

Runs are interleaved (one of each program, then the next round), so that a
noisy neighbour slows all of them alike.
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
FAMILIES = ["dist-random", "dist-grid", "count-random", "count-grid"]
PEERS = ["igraph", "lemon", "boost"]


def build():
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release",
                    "-DBUILD_TESTING=OFF", "-DBUILD_BENCH=ON"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "-j", str(os.cpu_count())], check=True,
                   stdout=subprocess.DEVNULL)


def data_file(family, size):
    os.makedirs(DATA, exist_ok=True)
    path = os.path.join(DATA, f"{family}-{size}.txt")
    if not os.path.exists(path):
        with open(path + ".tmp", "wb") as out:
            subprocess.run([os.path.join(BUILD, "bench", "gen"), family, size, "1"], check=True, stdout=out)
        os.rename(path + ".tmp", path)
    return path


def commands(family):
    """Program name -> (argv, input name, output name) for one family."""
    distance = family.startswith("dist")
    inp, out = ("mirtavosken.in", "mirtavosken.out") if distance else ("9-quembol.in", "quembol.out")
    ours = os.path.join(BUILD, "mirtavosken2" if distance else "quembol")
    base = os.path.join(BUILD, "bench", "mirtavosken_baseline" if distance else "quembol_baseline")
    table = {"ours": [ours], "baseline": [base], "parse floor": [os.path.join(BUILD, "bench", "parse_floor"), inp]}
    for peer in PEERS:
        exe = os.path.join(BUILD, "bench", f"{peer}_peer")
        if os.path.exists(exe):
            table[peer] = [exe, "distance" if distance else "count"]
    return {name: (argv, inp, out) for name, argv in table.items()}


def run_once(argv, data, inp, out):
    """Wall seconds, peak RSS in MiB and the output bytes of one run."""
    with tempfile.TemporaryDirectory() as work:
        os.symlink(data, os.path.join(work, inp))
        proc = subprocess.run([os.path.join(BUILD, "bench", "measure")] + argv, cwd=work,
                              capture_output=True, text=True)
        if proc.returncode != 0:
            raise RuntimeError(f"{argv[0]} failed: {proc.stderr}")
        wall, rss_kib = proc.stdout.split()
        result = os.path.join(work, out)
        output = open(result, "rb").read() if os.path.exists(result) else None
        return float(wall), int(rss_kib) / 1024, output


def measure(family, size, runs, only):
    data = data_file(family, size)
    cmds = {k: v for k, v in commands(family).items() if not only or k in only or k == "ours"}
    times = {k: [] for k in cmds}
    memory = {k: [] for k in cmds}
    outputs = {}
    for _ in range(runs):
        for name, (argv, inp, out) in cmds.items():
            wall, rss, output = run_once(argv, data, inp, out)
            times[name].append(wall)
            memory[name].append(rss)
            outputs[name] = output
    rows = []
    for name in cmds:
        same = "" if name == "parse floor" else ("same" if outputs[name] == outputs["ours"] else "DIFFERS")
        rows.append((family, size, name, statistics.median(times[name]), max(memory[name]), same))
    return rows


def ratio(value, reference):
    return f"{value / reference:6.2f}x" if reference else "      -"


def report(rows, runs):
    print(f"\nmachine: {platform.processor() or platform.machine()}, {os.cpu_count()} cores, "
          f"Linux {platform.release()}; median of {runs} interleaved runs, whole process\n")
    header = f"{'family':13} {'size':6} {'program':12} {'time s':>8} {'peak MiB':>9} " \
             f"{'/baseline':>9} {'/floor':>8} {'/best peer':>10}  output"
    print(header)
    print("-" * len(header))
    groups = {}
    for row in rows:
        groups.setdefault((row[0], row[1]), []).append(row)
    for (family, size), group in groups.items():
        by = {r[2]: r for r in group}
        base = by.get("baseline", (0, 0, 0, 0))[3]
        floor = by.get("parse floor", (0, 0, 0, 0))[3]
        peers = [by[p][3] for p in PEERS if p in by]
        best = min(peers) if peers else 0
        for name, r in by.items():
            print(f"{family:13} {size:6} {name:12} {r[3]:8.3f} {r[4]:9.1f} "
                  f"{ratio(r[3], base):>9} {ratio(r[3], floor):>8} {ratio(r[3], best):>10}  {r[5]}")
        print()


def load():
    with open(os.path.join(RESULTS, "results.csv")) as f:
        next(f)
        return [(r[0], r[1], r[2], float(r[3]), float(r[4]), r[5])
                for r in (line.rstrip("\n").split(",") for line in f)]


def save(rows):
    os.makedirs(RESULTS, exist_ok=True)
    csv = os.path.join(RESULTS, "results.csv")
    with open(csv, "w") as f:
        f.write("family,size,program,seconds,peak_mib,output\n")
        for r in rows:
            f.write(f"{r[0]},{r[1]},{r[2]},{r[3]:.4f},{r[4]:.1f},{r[5]}\n")
    if not shutil.which("gnuplot"):
        print("gnuplot not found: no plot")
        return
    present = {r[2] for r in rows}
    programs = [p for p in ["ours", "baseline", "parse floor"] + PEERS if p in present]
    sizes = sorted({r[1] for r in rows})
    dat = os.path.join(RESULTS, "plot.dat")
    with open(dat, "w") as f:
        f.write("family " + " ".join(f'"{p}"' for p in programs) + "\n")
        for size in sizes:
            for family in FAMILIES:
                got = {r[2]: r[3] for r in rows if r[0] == family and r[1] == size}
                if got:
                    f.write(f'"{family} {size}" ' + " ".join(f"{got[p]:.4f}" if p in got else "NaN" for p in programs) + "\n")
    png = os.path.join(RESULTS, "time.png")
    script = f"""
set terminal pngcairo size 1100,520 font ',10'
set output '{png}'
set title 'Wall time per input family (median, lower is better)'
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set logscale y
set ylabel 'seconds (log scale)'
set key outside right top
set bmargin 5
set xtics rotate by -20
plot for [i=2:{len(programs) + 1}] '{dat}' using i:xtic(1) title columnhead(i)
"""
    subprocess.run(["gnuplot"], input=script.encode(), check=True)
    print(f"wrote {csv} and {png}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--size", choices=["medium", "large", "all"], default="all")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only", nargs="*", help="programs besides ours: baseline, 'parse floor', igraph, lemon, boost")
    parser.add_argument("--family", nargs="*", choices=FAMILIES, default=FAMILIES)
    parser.add_argument("--replot", action="store_true", help="redraw the plot from the last results.csv")
    args = parser.parse_args()
    if args.replot:
        save(load())
        return
    build()
    sizes = ["medium", "large"] if args.size == "all" else [args.size]
    rows = []
    for size in sizes:
        for family in args.family:
            print(f"measuring {family} {size} ...", file=sys.stderr, flush=True)
            rows += measure(family, size, args.runs, args.only)
    report(rows, args.runs)
    save(rows)


if __name__ == "__main__":
    main()
