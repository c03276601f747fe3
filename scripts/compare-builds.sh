#!/usr/bin/env bash
# Compares two builds of framestow-cli on the same movies, a check that a
# change meant to be behaviour-neutral is. For every movie it compares:
#   - info, and analyze as text (the default table of target frames);
#   - analyze --all-frames --json: the file information, the analysis lines,
#     the linked assets and, for EVERY frame, the movable bytes, the three
#     verdict lines and whether Save is offered;
#   - save for frames 1, 2, the middle one and the last, each with and without
#     --keep-redundant: the report (text without, JSON with the option), the
#     exit status and the saved bytes.
# Prints one line per difference, then the counts.
#
# COMPARE_SAVED=analysis compares the saved copies by what they hold instead
# of byte for byte: each copy is analysed (analyze --all-frames --json, by
# NEW_CLI) and the two analyses must be the same but for the size on disk;
# the save reports are compared without the saved file's size.
# For builds that compress differently (another deflate), whose copies hold
# the same movie in other bytes.
#
#   bash scripts/compare-builds.sh OLD_CLI NEW_CLI MOVIE...
#   find ../shared/corpus -type f | xargs bash scripts/compare-builds.sh old/framestow-cli build/release/src/cli/framestow-cli
#
# COMPARE_JOBS=N runs N movies at a time (default 1).
set -uo pipefail

if [[ "${1:-}" == "--one" ]]; then
  # One movie: prints "movie", "save" (one per save compared) and "differs: ..." lines.
  old="$2"
  new="$3"
  movie="$4"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  echo "movie"
  run() { "$@" 2>&1; echo "status $?"; }
  for command in info analyze; do
    if [[ "$(run "$old" "$command" "$movie")" != "$(run "$new" "$command" "$movie")" ]]; then
      echo "differs: $command: $movie"
    fi
  done
  a=$(run "$old" analyze --all-frames --json "$movie")
  b=$(run "$new" analyze --all-frames --json "$movie")
  [[ "$a" != "$b" ]] && echo "differs: analyze --all-frames --json: $movie"
  frames=$(grep -o '"frameCount": *[0-9]*' <<<"$a" | head -1 | grep -o '[0-9]*$')
  [[ -z "$frames" ]] && exit 0
  for n in $(printf '%s\n' 1 2 $(((frames + 1) / 2)) "$frames" | sort -nu); do
    ((n >= 1 && n <= frames)) || continue
    for keep in "" --keep-redundant; do
      format=()
      [[ -n "$keep" ]] && format=(--json)
      rm -rf "$work/old" "$work/new"
      mkdir -p "$work/old" "$work/new"
      ra=$(run "$old" save --frame "$n" $keep "${format[@]}" --output "$work/old/saved.swf" "$movie")
      rb=$(run "$new" save --frame "$n" $keep "${format[@]}" --output "$work/new/saved.swf" "$movie")
      echo "save"
      ra="${ra//$work\/old/out}"
      rb="${rb//$work\/new/out}"
      if [[ "${COMPARE_SAVED:-bytes}" == analysis ]]; then
        # The deflated size is the compressor's, not the movie's.
        ra=$(sed -E -e 's/^Size after: [0-9]+ bytes/Size after: N bytes/' -e 's/"sizeAfter": *[0-9]+/"sizeAfter": N/' <<<"$ra")
        rb=$(sed -E -e 's/^Size after: [0-9]+ bytes/Size after: N bytes/' -e 's/"sizeAfter": *[0-9]+/"sizeAfter": N/' <<<"$rb")
      fi
      if [[ "$ra" != "$rb" ]]; then
        echo "differs: save report, frame $n $keep: $movie"
      elif [[ -f "$work/old/saved.swf" || -f "$work/new/saved.swf" ]] && ! cmp -s "$work/old/saved.swf" "$work/new/saved.swf"; then
        if [[ "${COMPARE_SAVED:-bytes}" != analysis ]]; then
          echo "differs: saved bytes, frame $n $keep: $movie"
        else
          analysed() { run "$new" analyze --all-frames --json "$work/$1/saved.swf" | sed -E -e 's/"fileSize": *[0-9]+//g' -e "s|$work/$1/||g"; }
          if [[ ! -f "$work/old/saved.swf" || ! -f "$work/new/saved.swf" || "$(analysed old)" != "$(analysed new)" ]]; then
            echo "differs: analysis of the saved copy, frame $n $keep: $movie"
          fi
        fi
      fi
    done
  done
  exit 0
fi

if [[ $# -lt 3 ]]; then
  echo "usage: $0 OLD_CLI NEW_CLI MOVIE..." >&2
  exit 1
fi
old="$1"
new="$2"
shift 2
results=$(mktemp)
trap 'rm -f "$results"' EXIT
printf '%s\0' "$@" | xargs -0 -n 1 -P "${COMPARE_JOBS:-1}" bash "$0" --one "$old" "$new" >"$results"
grep '^differs: ' "$results" | sed 's/^differs: //'
movies=$(grep -c '^movie$' "$results")
saves=$(grep -c '^save$' "$results")
differences=$(grep -c '^differs: ' "$results")
echo "$movies movies, $saves saves, $differences differences"
[[ $differences -eq 0 ]]
