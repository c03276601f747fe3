#!/usr/bin/env bash
# Runs the benchmarks of an optimised build and prints one table: step, movie,
# time, floor, ratio, target, met or not.
#
#   bash scripts/run-bench.sh [build-folder] [extra flags for framestow-bench]
#
# The movies are generated once into <build-folder>/movies and reused.
# FRAMESTOW_BENCH_SIZES chooses the movie sizes in MB (default "1 16 128").
# The table is also written to <build-folder>/bench-table.md.
set -euo pipefail

build="${1:-build/bench}"
shift || true
sizes="${FRAMESTOW_BENCH_SIZES:-1 16 128}"
programs="$build/bench"

for program in framestow-bench-gen framestow-bench framestow-peak-memory; do
  if [[ ! -x "$programs/$program" ]]; then
    echo "missing $programs/$program: build with 'cmake --preset bench && cmake --build --preset bench'" >&2
    exit 1
  fi
done

echo "Generating missing movies in $build/movies (sizes: $sizes MB)..." >&2
# shellcheck disable=SC2086
"$programs/framestow-bench-gen" "$build/movies" $sizes

echo "Running benchmarks..." >&2
"$programs/framestow-bench" \
  --movies="$build/movies" \
  --out="$build/bench-out" \
  --peak-driver="$programs/framestow-peak-memory" \
  --sizes="${sizes// /,}" \
  "$@" | tee "$build/bench-table.md"
