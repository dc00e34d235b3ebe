#!/usr/bin/env bash
# The whole run through bitonix-cli: time per page for a 10-page PDF at 300 DPI
# and for ten 12-megapixel photos, and peak memory for one A4 page at 300, 600
# and 1200 DPI; opening the corner editor on 50 such photos; then the
# per-stage imaging benchmark with its floor.
#
# Usage: bench/run/run_bench.sh [BUILD_DIR]   (default: build-bench, made with -DBITONIX_BENCH=ON)
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$here/build-bench}
if [ ! -x "$build/bin/bench_inputs" ] || [ ! -x "$build/bin/editor_bench" ]; then
  "$here/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBITONIX_TESTS=OFF -DBITONIX_BENCH=ON
fi
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/bench_inputs" "$work/in"
# Elapsed seconds, peak resident KiB, and CPU seconds (user + system).
cli() { /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$bin/bitonix-cli" -q "$@" > /dev/null; }

median_of_3() { sort -n | sed -n 2p; }

echo "== Whole runs through bitonix-cli (median of 3, CPU time)"
for kind in pdf photos; do
  secs=()
  for run in 1 2 3; do
    rm -f "$work"/out*.pdf
    if [ $kind = pdf ]; then cli -r 300 -o "$work/out.pdf" "$work/in/ten.pdf"; pages=10
    else cli -o "$work/out.pdf" "$work"/in/photo*.jpg; pages=10; fi
    secs+=("$(awk '{ print $3 + $4 }' "$work/time")")
  done
  s=$(printf '%s\n' "${secs[@]}" | median_of_3)
  awk -v s="$s" -v p="$pages" -v k="$kind" 'BEGIN { printf "  %-7s %6.2f s for %d pages = %5.0f ms/page\n", k, s, p, 1000*s/p }'
done

echo "== Peak memory for one A4 page"
for dpi in 300 600 1200; do
  rm -f "$work"/out*.pdf
  cli -r $dpi -o "$work/out.pdf" "$work/in/one.pdf"
  read -r s kb u sy < "$work/time"
  awk -v s="$s" -v kb="$kb" -v d="$dpi" -v c="$u" -v y="$sy" 'BEGIN { printf "  %4d DPI %7.2f s (CPU %.2f s)  peak %6.0f MiB\n", d, s, c + y, kb/1024 }'
done

"$bin/editor_bench" 50 "$work"/in/photo*.jpg

echo "== Per-stage imaging benchmark"
"$bin/imaging_bench" 3
