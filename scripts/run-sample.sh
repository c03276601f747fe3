#!/usr/bin/env bash
# Shows the main job on the bundled sample movie: make it, analyse it, save it
# for frame 2 into a new file, and analyse the result.
# Usage: bash scripts/run-sample.sh BUILD_DIR   (make run passes build/release)
set -euo pipefail

build="${1:-build/release}"
cli="$build/src/cli/framestow-cli"
maker="$build/tools/sample/framestow-make-sample"
sample_dir="$build/sample"
sample="$sample_dir/intro.swf"
moved="$sample_dir/intro_frame2.swf"

for program in "$cli" "$maker"; do
  if [ ! -x "$program" ]; then
    echo "run-sample.sh: $program is missing; build first (make run does)." >&2
    exit 1
  fi
done

step() {
  printf '\n== %s\n' "$1"
  printf '$ %s\n\n' "${*:2}"
  "${@:2}"
}

mkdir -p "$sample_dir"
step "Making the sample movie: a preloader in frame 1, its linked assets defined there too" \
  "$maker" "$sample"
step "What is in it, and how many bytes could leave frame 1 for each target frame" \
  "$cli" analyze "$sample"
step "Moving the linked assets to frame 2 (a new file; the sample stays as it is)" \
  "$cli" save "$sample" --frame 2 --output "$moved"
step "The new movie: frame 1 now holds only the preloader" \
  "$cli" analyze "$moved"
step "How the sample streams in at 56k, before and after the move to frame 2" \
  "$cli" profile "$sample" --frame 2

app="$build/src/app/framestow"
case "$app" in /*) ;; *) app="./$app" ;; esac

cat <<EOF

Done. Try it on your own movies:
  $cli analyze path/to/movie.swf
  $cli save path/to/movie.swf --frame 2      (keeps the original as movie_old.swf)
  $cli profile path/to/movie.swf --frame 2 --bandwidth DSL --svg chart.svg

To start the desktop app: $app   (or: make app)
EOF
