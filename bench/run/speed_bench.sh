#!/usr/bin/env bash
# Whole runs against the floor, measured in one go with the commands taken in
# turn (floor, -j 1, all cores, floor, ...), so that a machine whose speed
# drifts affects all of them alike; figures are medians, ratios are taken run
# by run against the floor of the same round.
#   - the floor: every page straight to grey, Sauvola, G4 in memory, one
#     thread, memory reused (floor_bench);
#   - bitonix-cli -j 1 and -j <cores> on a 10-page A4 text PDF at 300 DPI and
#     on ten 12-megapixel photos: wall and CPU time per page, peak memory;
#   - peak memory for one A4 page at 1200 DPI with -j 1;
#   - a window run (offscreen, default options) at 300 and 1200 DPI: its time
#     and the longest time the window went without handling events.
#
# Usage: bench/run/speed_bench.sh [BUILD_DIR] [ROUNDS]
#   BUILD_DIR: a Release build with -DBITONIX_BENCH=ON (default build-bench,
#   made when missing); ROUNDS: default 5.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build-bench}
rounds=${2:-5}
if [ ! -x "$build/bin/floor_bench" ] || [ ! -x "$build/bin/window_bench" ]; then
  "$here/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBITONIX_TESTS=OFF -DBITONIX_BENCH=ON
fi
bin=$build/bin
cores=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/bench_inputs" "$work/in"
photos=("$work"/in/photo*.jpg)
export QT_QPA_PLATFORM=offscreen

# Runs a command under GNU time; appends "wall cpu peak_kib" to the file $1.
measure() {
  local out=$1
  shift
  rm -f "$work"/out*.pdf
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > /dev/null 2>&1
  awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$work/time" >> "$out"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
col() { awk -v c="$2" '{ print $c }' "$1"; }

for kind in pdf photos; do
  : > "$work/$kind.floor"; : > "$work/$kind.j1"; : > "$work/$kind.jn"
  if [ $kind = pdf ]; then inputs=("$work/in/ten.pdf"); else inputs=("${photos[@]}"); fi
  for ((r = 0; r < rounds; r++)); do
    measure "$work/$kind.floor" "$bin/floor_bench" 300 "${inputs[@]}"
    measure "$work/$kind.j1" "$bin/bitonix-cli" -q -j 1 -r 300 -o "$work/out.pdf" "${inputs[@]}"
    measure "$work/$kind.jn" "$bin/bitonix-cli" -q -j "$cores" -r 300 -o "$work/out.pdf" "${inputs[@]}"
  done
done

report() {
  local kind=$1 pages=10
  echo "== $kind: 10 pages, median of $rounds rounds (wall and CPU ms per page, peak MiB)"
  for what in floor j1 jn; do
    local f="$work/$kind.$what"
    printf "  %-22s wall %6.0f  cpu %6.0f  peak %5.0f\n" \
      "$([ $what = floor ] && echo floor || ([ $what = j1 ] && echo "bitonix-cli -j 1" || echo "bitonix-cli -j $cores"))" \
      "$(col "$f" 1 | median | awk -v p=$pages '{ print 1000 * $1 / p }')" \
      "$(col "$f" 2 | median | awk -v p=$pages '{ print 1000 * $1 / p }')" \
      "$(col "$f" 3 | median | awk '{ print $1 / 1024 }')"
  done
  for what in j1 jn; do
    printf "  wall / floor (-j %s): %.2f\n" "$([ $what = j1 ] && echo 1 || echo "$cores")" \
      "$(paste "$work/$kind.$what" "$work/$kind.floor" | awk '{ print $1 / $4 }' | median)"
  done
}
report pdf
report photos

echo "== One A4 page at 1200 DPI, bitonix-cli -j 1"
: > "$work/big"
measure "$work/big" "$bin/bitonix-cli" -q -j 1 -r 1200 -o "$work/out.pdf" "$work/in/one.pdf"
awk '{ printf "  wall %.2f s  cpu %.2f s  peak %.0f MiB\n", $1, $2, $3 / 1024 }' "$work/big"

echo "== Window runs (offscreen, default options, straightening off)"
for dpi in 300 1200; do
  input=$work/in/ten.pdf
  if [ $dpi = 1200 ]; then input=$work/in/one.pdf; fi
  printf "  %4d DPI, %s: " $dpi "$(basename "$input")"
  "$bin/window_bench" $dpi "$input"
done
