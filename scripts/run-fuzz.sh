#!/usr/bin/env bash
# Runs each libFuzzer target for a while, one after the other, single process.
#   bash scripts/run-fuzz.sh <fuzz build dir> [seconds per target]
# Environment: FUZZ_MAX_LEN (default 1048576), FUZZ_SEED_LIMIT (shared movies
# copied as seeds, default 400), FRAMESTOW_CORPUS_DIR (default ../shared/corpus),
# FUZZ_TARGETS (default "fuzz_whole_job fuzz_tag_bodies"), FUZZ_SEED (libFuzzer's
# random seed; default: a new one each run) and FUZZ_RUNS (stop after this many
# inputs; with a fixed seed the run is then the same on every machine).
# Seeds: the builder's seed movies (and their tag bodies for fuzz_tag_bodies)
# and a selection of the shared corpus, copied into the build folder at each
# run. Findings land in <build>/fuzz-work/artifacts.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build/fuzz}"
seconds="${2:-60}"
max_len="${FUZZ_MAX_LEN:-1048576}"
# Seconds one input may take before it counts as a hang.
timeout="${FUZZ_TIMEOUT:-1}"
seed_limit="${FUZZ_SEED_LIMIT:-400}"
shared="${FRAMESTOW_CORPUS_DIR:-$root/../shared/corpus}"
targets="${FUZZ_TARGETS:-fuzz_whole_job fuzz_tag_bodies}"

work="$build/fuzz-work"
seeds="$work/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/builder" "$seeds/shared" "$work/artifacts"
# The files the targets load and save go to memory where there is a tmpfs.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi

"$build/fuzz/fuzz_make_seeds" "$seeds/builder"

if [ -d "$shared" ]; then
  # An even selection of the movies up to the length limit, flattened to unique names.
  mapfile -t movies < <(cd "$shared" && find . -type f -name '*.swf' -size -"$((max_len / 1024 + 1))"k | sort)
  total=${#movies[@]}
  step=$(( total > seed_limit ? (total + seed_limit - 1) / seed_limit : 1 ))
  copied=0
  for ((i = 0; i < total; i += step)); do
    rel="${movies[$i]#./}"
    cp "$shared/$rel" "$seeds/shared/${rel//\//_}"
    copied=$((copied + 1))
  done
  echo "Seeds: $copied movies from $shared (of $total up to $max_len bytes)."
else
  echo "Seeds: no shared corpus at $shared; builder movies only."
fi

status=0
for target in $targets; do
  corpus="$work/corpus/$target"
  log="$work/$target.log"
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s, -max_len=$max_len, -timeout=$timeout"
  set +e
  inputs=("$seeds/builder/movies" "$seeds/shared")
  [ "$target" = fuzz_tag_bodies ] && inputs=("$seeds/builder/tags")
  "$build/fuzz/$target" \
    -max_total_time="$seconds" -timeout="$timeout" -max_len="$max_len" -rss_limit_mb=2048 \
    ${FUZZ_SEED:+-seed="$FUZZ_SEED"} ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/$target-" \
    "$corpus" "${inputs[@]}" >"$log" 2>&1
  rc=$?
  set -e
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^#[0-9]+ +DONE' "$log" || true
  if [ $rc -ne 0 ]; then
    echo "$target FAILED (exit $rc); see $log"
    grep -E 'ERROR|SUMMARY|invariant|Test unit written' "$log" | head -20 || true
    status=1
  fi
done
exit $status
