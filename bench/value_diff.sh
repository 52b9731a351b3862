#!/usr/bin/env bash
# Every key's values, bar by bar, of one tree against another's.
#
# Usage: bench/value_diff.sh OLD_SRC NEW_SRC [CMAKE_ARG...]
#
# Builds the value dumper (bench/value_diff/) against each tree's own core,
# configured by that tree's CMake in a scratch build directory (the CMAKE_ARGs
# go to the new tree's only), dumps every key's values and named outputs over
# the same bars from both builds, and prints each run (key, parameters,
# series) that differs: bars compared, bars differing, the first differing bar
# with both builds' fields, the last one, and the stretches of the series the
# differing bars lie in; then each key that differs and the totals. The report
# is also kept as $VALUE_DIFF_DIR/report-*.txt. Exit status 0 when nothing
# differs, 1 when something does, 2 on a failure.
#
# The bars and the tools come from the checkout this script is in, whatever
# the two trees hold, so any two trees are set against the same bars.
#
# Examples:
#   bench/value_diff.sh /work/old-68407b8 /work/main
#   bench/value_diff.sh /work/old-68407b8 /work/main -DCMAKE_CXX_FLAGS=-DFENDRO_ZERO_WINDOW_READS=0
#
# Environment:
#   VALUE_DIFF_DIR  scratch directory for the builds and dumps (/tmp/value_diff);
#                   each (tree, arguments) keeps its build there, so a rerun
#                   rebuilds only what changed
#   JOBS            parallel compile jobs and dump processes (3)
#   KEYS            only these keys, separated by spaces
#   ALL=1           print the runs that do not differ too
set -euo pipefail

if [ $# -lt 2 ]; then
  sed -n '2,/^set -e/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
  exit 2
fi
old_src=$(cd "$1" && pwd)
new_src=$(cd "$2" && pwd)
shift 2
new_args=("$@")

tool_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/value_diff" && pwd)
work=${VALUE_DIFF_DIR:-/tmp/value_diff}
jobs=${JOBS:-3}
mkdir -p "$work"

# What a tree was: its commit, and a digest of what it holds beyond it.
describe() {
  local src=$1
  local head dirty
  head=$(git -C "$src" rev-parse --short=12 HEAD 2>/dev/null || echo "not a git tree")
  dirty=$(git -C "$src" status --porcelain --untracked-files=no -- src CMakeLists.txt cmake 2>/dev/null | wc -l)
  if [ "$dirty" -gt 0 ]; then
    echo "$head + $dirty changed files under src/ and cmake (diff $(git -C "$src" diff HEAD -- src CMakeLists.txt cmake | sha1sum | cut -c1-12))"
  else
    echo "$head"
  fi
}

# Configures and builds the dumper against tree $1 with CMake arguments $2...;
# prints the build directory.
build() {
  local src=$1
  shift
  local tag
  tag=$(printf '%s\n' "$src" "$@" | sha1sum | cut -c1-12)
  local dir="$work/build-$(basename "$src")-$tag"
  cmake -S "$tool_dir" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENDRO_SRC="$src" "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log" >&2; return 1; }
  cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1 || { tail -40 "$dir.build.log" >&2; return 1; }
  echo "$dir"
}

key_args=()
for k in ${KEYS:-}; do key_args+=(--key "$k"); done

# Dumps with build $1 into $2.shard-K, `jobs` shards at once.
dump() {
  local dir=$1 out=$2
  rm -f "$out".shard-*
  local pids=() k
  for ((k = 0; k < jobs; k++)); do
    "$dir/value_dump" "$out.shard-$k" --shard "$k" "$jobs" "${key_args[@]}" &
    pids+=($!)
  done
  local failed=0
  for p in "${pids[@]}"; do wait "$p" || failed=1; done
  return $failed
}

echo "building against $old_src ..." >&2
old_build=$(build "$old_src") || exit 2
echo "building against $new_src ${new_args[*]:-} ..." >&2
new_build=$(build "$new_src" "${new_args[@]}") || exit 2

stamp=$(date -u +%Y%m%dT%H%M%SZ)
echo "dumping ..." >&2
dump "$old_build" "$work/old-$stamp" || exit 2
dump "$new_build" "$work/new-$stamp" || exit 2

report="$work/report-$stamp.txt"
{
  echo "old: $old_src at $(describe "$old_src")"
  echo "new: $new_src at $(describe "$new_src")${new_args[*]:+ with ${new_args[*]}}"
  echo
} >"$report"
status=0
"$new_build/value_compare" ${ALL:+--all} --old "$work/old-$stamp".shard-* --new "$work/new-$stamp".shard-* \
  >>"$report" || status=$?
rm -f "$work/old-$stamp".shard-* "$work/new-$stamp".shard-*
cat "$report"
echo "(report kept as $report)" >&2
exit $status
