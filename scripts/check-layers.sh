#!/usr/bin/env bash
# Checks that the source folders depend on each other one way only:
#
#   common <- swfin <- analysis <- planner <- writer <- document <- cli, app
#
# A file may include files of its own folder and of the folders to its left;
# the front ends (cli, app) include only document/ and common/. No file
# includes itself through a chain of includes. Prints every violation and
# exits 1 when there is one.
#
#   bash scripts/check-layers.sh [SOURCE_DIR]   (default: src next to this script)
set -uo pipefail
src="${1:-$(dirname "$0")/../src}"
cd "$src" || exit 2

rank() {
  case "$1" in
    common) echo 0 ;; swfin) echo 1 ;; analysis) echo 2 ;; planner) echo 3 ;;
    writer) echo 4 ;; document) echo 5 ;; cli | app) echo 6 ;; *) echo -1 ;;
  esac
}

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
  folder=${file%%/*}
  own=$(rank "$folder")
  while IFS= read -r included; do
    [[ -z "$included" ]] && continue
    target=${included%%/*}
    theirs=$(rank "$target")
    # Only the program's own folders are layered; a header of a library is not ours.
    ((theirs < 0)) && continue
    echo "$file $included" >>"$edges"
    [[ "$target" == "$folder" ]] && continue
    if ((own == 6)) && [[ "$target" != document && "$target" != common ]]; then
      echo "front end reaches into the core: $file includes $included"
      status=1
    elif ((theirs >= own)); then
      echo "include against the layers: $file includes $included"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find common swfin analysis planner writer document cli app -name '*.[ch]pp' 2>/dev/null | sort)

# tsort reports a loop in the include graph.
if ! tsort "$edges" >/dev/null 2>"$edges.err"; then
  echo "include cycle:"
  cat "$edges.err"
  status=1
fi
rm -f "$edges.err"
((status == 0)) && echo "layers: one way, no include cycles"
exit $status
