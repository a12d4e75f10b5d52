#!/usr/bin/env bash
# Builds both programs and runs each on its bundled example, showing what it
# printed and what it wrote.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

show() {  # program input output
  cp "$root/examples/$2" "$work/"
  echo "== $1 on examples/$2:"
  sed 's/^/   /' "$work/$2"
  status=0
  stdout=$(cd "$work" && "$root/build/release/$1") || status=$?
  echo "-- exit status $status, standard output: \"$stdout\""
  echo "-- $3: \"$(cat "$work/$3")\""
  echo
}
show mirtavosken2 mirtavosken.in mirtavosken.out
show quembol 9-quembol.in quembol.out
