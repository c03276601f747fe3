#!/usr/bin/env bash
# How long `framestow-cli analyze` of one "CWS" movie takes against zlib's
# inflate of its body alone, in one run:
#
#   bash scripts/bench-analyze-cli.sh [framestow-cli] [movie]
#
# Defaults: the bench build's framestow-cli and the 40 MB tagmix movie, which
# `framestow-bench-gen build/bench/movies-40 40` writes. The floor is zlib's
# one-call inflate of the body into a fresh buffer (Python's zlib module, the
# system's zlib, timed inside the interpreter, so without its start-up); the
# command is timed whole, process start and file read included. Runs both in
# alternating pairs FRAMESTOW_BENCH_ROUNDS times (default 11) and compares the
# fastest of each, on the wall clock: analyze of one movie uses a second core.
# Exits 0 when the command takes at most FRAMESTOW_BENCH_TARGET (default 1.2)
# times the inflate. Says what the load average was.
set -euo pipefail

cli="${1:-build/bench/src/cli/framestow-cli}"
movie="${2:-build/bench/movies-40/tagmix-40mb.cws.swf}"
rounds="${FRAMESTOW_BENCH_ROUNDS:-11}"
target="${FRAMESTOW_BENCH_TARGET:-1.2}"

for needed in "$cli" "$movie"; do
  if [[ ! -e "$needed" ]]; then
    echo "missing $needed: build the bench preset and run framestow-bench-gen build/bench/movies-40 40" >&2
    exit 1
  fi
done

inflate() {
  python3 - "$movie" <<'PY'
import sys, time, zlib
body = open(sys.argv[1], 'rb').read()[8:]
start = time.perf_counter()
zlib.decompress(body)
print(int((time.perf_counter() - start) * 1e6))
PY
}

analyse() {
  local start="${EPOCHREALTIME/./}"
  "$cli" analyze "$movie" >/dev/null
  echo $(( ${EPOCHREALTIME/./} - start ))
}

best_floor=0
best_step=0
for ((round = 0; round < rounds; ++round)); do
  if ((round % 2 == 0)); then
    floor=$(inflate); step=$(analyse)
  else
    step=$(analyse); floor=$(inflate)
  fi
  ((best_floor == 0 || floor < best_floor)) && best_floor=$floor
  ((best_step == 0 || step < best_step)) && best_step=$step
done

read -r load1 load5 _ </proc/loadavg
ratio=$(awk -v a="$best_step" -v b="$best_floor" 'BEGIN { printf "%.3f", a / b }')
echo "analyze of $(basename "$movie"): $((best_step / 1000)) ms; zlib's inflate of its body: $((best_floor / 1000)) ms;" \
  "ratio $ratio (target <= $target); fastest of $rounds runs each; load average $load1 (1 min), $load5 (5 min) on $(nproc) cores"
awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r <= t) }'
