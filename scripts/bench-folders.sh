#!/usr/bin/env bash
# How much faster a whole folder tree is analysed with two jobs than with one,
# and whether both runs print the same:
#
#   bash scripts/bench-folders.sh [framestow-cli] [folder]
#
# Defaults: the release build's framestow-cli and ../shared/corpus. Runs
# `analyze FOLDER --recursive --json --jobs 1` and `--jobs 2` in turn,
# FRAMESTOW_BENCH_ROUNDS times each (default 15), and compares the fastest run
# of each: on a machine shared with other work the fastest run is the one
# least disturbed. Every run's standard output must be the same, byte for
# byte. Exits 0 when the outputs agree and two jobs are at least
# FRAMESTOW_BENCH_TARGET (default 1.7) times as fast as one.
set -euo pipefail

cli="${1:-build/release/src/cli/framestow-cli}"
folder="${2:-../shared/corpus}"
rounds="${FRAMESTOW_BENCH_ROUNDS:-15}"
target="${FRAMESTOW_BENCH_TARGET:-1.7}"

if [[ ! -x "$cli" ]]; then
  echo "missing $cli: build it with 'cmake --preset release && cmake --build --preset release --target framestow-cli'" >&2
  exit 1
fi
if [[ ! -d "$folder" ]]; then
  echo "no folder $folder to analyse" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One run: its wall time in microseconds on standard output; what the command
# printed in $work/out-<jobs>-<round>.
run() {
  local jobs="$1" round="$2" start end
  start="${EPOCHREALTIME/./}"
  # Exit status 2 is expected: the folder holds files that are no movies.
  "$cli" analyze "$folder" --recursive --json --jobs "$jobs" >"$work/out-$jobs-$round" 2>"$work/err-$jobs-$round" ||
    [[ $? -le 3 ]] || { echo "analyze --jobs $jobs failed:" >&2; cat "$work/err-$jobs-$round" >&2; exit 1; }
  end="${EPOCHREALTIME/./}"
  echo $((end - start))
}

declare -a one two
run 1 warm-up >/dev/null  # the folder's files into the page cache
for ((r = 0; r < rounds; r++)); do
  one+=("$(run 1 "$r")")
  two+=("$(run 2 "$r")")
done

identical=yes
for ((r = 0; r < rounds; r++)); do
  for jobs in 1 2; do
    cmp -s "$work/out-1-0" "$work/out-$jobs-$r" || identical=no
  done
done

movies="$(wc -l <"$work/out-1-0")"
sorted() { printf '%s\n' "$@" | sort -n; }
fastest() { sorted "$@" | head -1; }
median() { sorted "$@" | sed -n "$((($# + 1) / 2))p"; }
ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }

f1="$(fastest "${one[@]}")"
f2="$(fastest "${two[@]}")"
speedup="$(awk -v a="$f1" -v b="$f2" 'BEGIN { printf "%.2f", a / b }')"
met="$(awk -v s="$speedup" -v t="$target" 'BEGIN { print (s >= t) ? "yes" : "no" }')"

load="$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown)"
echo "analyze $folder --recursive --json: $movies movies, $rounds rounds, $(nproc) cores, load average $load"
echo
echo "| jobs | fastest | median |"
echo "|-----:|--------:|-------:|"
echo "|    1 | $(ms "$f1") | $(ms "$(median "${one[@]}")") |"
echo "|    2 | $(ms "$f2") | $(ms "$(median "${two[@]}")") |"
echo
echo "Speed-up (fastest runs): ${speedup}x, target ${target}x: $met"
echo "Output identical in every run: $identical"
# Other work on the machine takes the second core from the second job: the
# speed-up then says more about that work than about this program.
if awk -v l="${load%% *}" -v c="$(nproc)" 'BEGIN { exit !(l + 0 >= c - 0.5) }' 2>/dev/null; then
  echo "Note: the machine was busy (load average ${load%% *} on $(nproc) cores): run again when it is idle."
fi
[[ "$met" == yes && "$identical" == yes ]]
