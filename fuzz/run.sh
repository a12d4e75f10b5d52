#!/usr/bin/env bash
# Runs a bounded AFL++ campaign against one whole program, built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and prints what it found.
#   fuzz/run.sh mirtavosken2|quembol SECONDS [fixed|dimacs|stdin]
# fixed (the default): the run with no argument, on the fixed file names;
# dimacs: a DIMACS file named on the command line, with every output the
# program has; stdin: native input on standard input, with the same outputs.
# Findings stay in build/fuzz/campaign-PROGRAM-MODE/findings (crashes/,
# hangs/, queue/).
set -euo pipefail
program=${1:-}
seconds=${2:-}
mode=${3:-fixed}
usage="usage: fuzz/run.sh mirtavosken2|quembol SECONDS [fixed|dimacs|stdin]"
case "$program" in
  mirtavosken2) input=mirtavosken.in seeds=distance outputs=(-s 2 -o out.txt --tree=tree.txt --cycle=cycle.txt) ;;
  quembol) input=9-quembol.in seeds=pathcount outputs=(-s 1 -t 2 -o out.txt) ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
case "$mode" in
  fixed) args=() ;;
  dimacs) input=graph.gr seeds=dimacs args=("${outputs[@]}" graph.gr) ;;
  stdin) input="" args=("${outputs[@]}" -) ;;  # afl-fuzz feeds standard input
  *) echo "$usage" >&2; exit 2 ;;
esac
[ "$program$mode" = quembolstdin ] && args=(-s 1 --all -o out.txt -)
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "SECONDS must be a whole number" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

# Instrumented build. Tables are held to a 64 MiB budget, so that the fuzzer
# spends its time on the reader and the checks rather than on allocating
# gigabytes for a header that announces millions of nodes.
AFL_USE_ASAN=1 AFL_USE_UBSAN=1 AFL_QUIET=1 CC=afl-clang-fast CXX=afl-clang-fast++ \
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS="-DWGT_MEMORY_BUDGET=67108864 -fno-sanitize-recover=all" >/dev/null
AFL_USE_ASAN=1 AFL_USE_UBSAN=1 AFL_QUIET=1 cmake --build "$build" --target "$program" -j "$(nproc)" >/dev/null

work=$build/campaign-$program-$mode
rm -rf "$work"
mkdir -p "$work/run"
cd "$work/run"  # the program reads and writes its files here
file=()
[ -n "$input" ] && file=(-f "$work/run/$input")
AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_AFFINITY=1 \
  ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
  afl-fuzz -i "$root/fuzz/seeds/$seeds" -o "$work/findings" ${file[@]+"${file[@]}"} \
  -x "$root/fuzz/graph.dict" -t 2000 -m none -V "$seconds" -- "$build/$program" ${args[@]+"${args[@]}"} \
  >"$work/afl.log" 2>&1 || {
  tail -20 "$work/afl.log" >&2
  exit 1
}

stats=$work/findings/default/fuzzer_stats
field() { awk -F' *: *' -v k="$1" '$1 == k { print $2 }' "$stats"; }
echo "$program ($mode): $(field run_time) s, $(field execs_done) executions, $(field corpus_count) paths," \
  "$(field saved_crashes) crashes, $(field saved_hangs) hangs"
[ "$(field saved_crashes)" = 0 ] && [ "$(field saved_hangs)" = 0 ]
