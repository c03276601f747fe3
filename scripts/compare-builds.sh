#!/usr/bin/env bash
# Compares two builds of framestow-cli on the same movies: the all-frames
# analysis (JSON, every frame's movable bytes) and the saved bytes for frames
# 2, the middle one and the last. Prints one line per difference and a count.
# A check that a change meant to be behaviour-neutral is.
#
#   bash scripts/compare-builds.sh OLD_CLI NEW_CLI MOVIE...
#   find ../shared/corpus -type f | xargs bash scripts/compare-builds.sh old/framestow-cli build/release/src/cli/framestow-cli
set -uo pipefail

if [[ $# -lt 3 ]]; then
  echo "usage: $0 OLD_CLI NEW_CLI MOVIE..." >&2
  exit 1
fi
old="$1"
new="$2"
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

differences=0
movies=0
for movie in "$@"; do
  movies=$((movies + 1))
  a=$("$old" analyze --all-frames --json "$movie" 2>&1; echo "status $?")
  b=$("$new" analyze --all-frames --json "$movie" 2>&1; echo "status $?")
  if [[ "$a" != "$b" ]]; then
    echo "analysis differs: $movie"
    differences=$((differences + 1))
  fi
  frames=$(grep -o '"frameCount": *[0-9]*' <<<"$b" | head -1 | grep -o '[0-9]*$')
  [[ -z "$frames" ]] && continue
  for n in 2 $(((frames + 1) / 2)) "$frames"; do
    ((n >= 2 && n <= frames)) || continue
    rm -f "$work/old.swf" "$work/new.swf"
    ra=$("$old" save --frame "$n" --output "$work/old.swf" "$movie" 2>&1; echo "status $?")
    rb=$("$new" save --frame "$n" --output "$work/new.swf" "$movie" 2>&1; echo "status $?")
    if [[ "${ra//old.swf/out}" != "${rb//new.swf/out}" ]]; then
      echo "save report differs: $movie, frame $n"
      differences=$((differences + 1))
    elif [[ -f "$work/old.swf" || -f "$work/new.swf" ]] && ! cmp -s "$work/old.swf" "$work/new.swf"; then
      echo "saved bytes differ: $movie, frame $n"
      differences=$((differences + 1))
    fi
  done
done
echo "$movies movies, $differences differences"
[[ $differences -eq 0 ]]
