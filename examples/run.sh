#!/usr/bin/env bash
# Builds both programs and runs each on its bundled example, showing what it
# printed and what it wrote; then the four worked examples of the README,
# with options.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" >/dev/null
bin="$root/build/release"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/examples/*.in "$root"/examples/*.gr "$work/"

show() {  # program input output: the run with no argument
  echo "== $1 on examples/$2:"
  sed 's/^/   /' "$work/$2"
  status=0
  stdout=$(cd "$work" && "$bin/$1") || status=$?
  echo "-- exit status $status, standard output: \"$stdout\""
  echo "-- $3: \"$(cat "$work/$3")\""
  echo
}
task() {  # title, then a command line run in the work directory
  echo "== $1:"
  shift
  echo "   \$ $*"
  status=0
  (cd "$work" && PATH="$bin:$PATH" && eval "$@") 2>&1 | sed 's/^/   /' || status=$?
  echo
}
show mirtavosken2 mirtavosken.in mirtavosken.out
show quembol 9-quembol.in quembol.out
task "critical path of a schedule (durations negated): the tree from the start" \
  mirtavosken2 --tree=- -o /dev/null schedule.in
task "route from depot 3 on a DIMACS road file: cost and predecessor of each junction" \
  mirtavosken2 --source=3 --tree=- -o /dev/null road.gr
task "arbitrage: the whole ring of a negative cycle of -log rates" \
  "mirtavosken2 --cycle=ring.txt -o /dev/null rates.in >/dev/null; echo \"exit status \$?\"; cat ring.txt"
task "distances and cheapest path counts from the source to every node" \
  quembol --all -o - 9-quembol.in
