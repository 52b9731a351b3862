#!/usr/bin/env bash
# Every key's values, bar by bar, of one tree against another's.
#
# Usage: bench/value_diff.sh OLD_SRC NEW_SRC [CMAKE_ARG...] [-- CMAKE_ARG...]...
#
# Builds the value dumper (bench/value_diff/) against each tree's own core,
# configured by that tree's CMake in a scratch build directory, dumps every
# key's values and named outputs over the same bars from each build, and
# prints each run (key, parameters, series) that differs: bars compared, bars
# differing, the first differing bar with both builds' fields, the last one,
# and the stretches of the series the differing bars lie in; then each key that
# differs and the totals.
#
# NEW_SRC is built once per group of CMAKE_ARGs (groups separated by `--`; the
# first may be empty), all from one copy of its sources taken at the start, so
# that a tree being edited meanwhile gives one answer. Each build is set
# against OLD_SRC's; with two groups or more, the first group's build is also
# set against each later one's (what those arguments change).
#
# The report goes to stdout and is kept as $VALUE_DIFF_DIR/report-*.txt. Exit
# status: 0 when nothing differs, 1 when something does, 2 on a failure. The
# bars and the tools come from the checkout this script is in, whatever the
# two trees hold.
#
# Examples (an older tree checked out beside this one with
# `git worktree add --detach ../old 68407b8`):
#   bench/value_diff.sh ../old .
#   bench/value_diff.sh ../old . -DCMAKE_CXX_FLAGS=-DFENDRO_ZERO_WINDOW_READS=0
#   # both at once, and the two builds of this tree against each other:
#   bench/value_diff.sh ../old . -- -DCMAKE_CXX_FLAGS=-DFENDRO_ZERO_WINDOW_READS=0
#
# Environment:
#   VALUE_DIFF_DIR  scratch directory for the copies, builds and dumps
#                   (/tmp/value_diff; a dump takes about 1.2 GB while the
#                   command runs); each (tree, arguments) keeps its build
#                   there, so a rerun rebuilds only what changed. One command
#                   at a time per directory.
#   JOBS            parallel compile jobs and dump processes (3)
#   KEYS            only these keys, separated by spaces
#   ALL=1           print the runs that do not differ too
set -euo pipefail

if [ $# -lt 2 ]; then
  sed -n '2,/^set -e/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
  exit 2
fi
old_src=$(cd "$1" && pwd) || exit 2
new_src=$(cd "$2" && pwd) || exit 2
shift 2
# The groups of CMake arguments, each one string of arguments separated by
# the unit separator (an argument may hold spaces).
sep=$'\x1f'
groups=("")
for a in "$@"; do
  if [ "$a" = "--" ]; then
    groups+=("")
  else
    groups[-1]+="${groups[-1]:+$sep}$a"
  fi
done

tool_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/value_diff" && pwd)
work=${VALUE_DIFF_DIR:-/tmp/value_diff}
jobs=${JOBS:-3}
mkdir -p "$work"

# What a tree is: its commit, and a digest of what its core's sources hold
# beyond it.
describe() {
  local src=$1 head dirty
  head=$(git -C "$src" rev-parse --short=12 HEAD 2>/dev/null || echo "not a git tree")
  dirty=$(git -C "$src" status --porcelain --untracked-files=no -- src CMakeLists.txt cmake 2>/dev/null | wc -l)
  if [ "$dirty" -gt 0 ]; then
    echo "$head + $dirty changed files under src/ and cmake/ (diff $(git -C "$src" diff HEAD -- src CMakeLists.txt cmake | sha1sum | cut -c1-12))"
  else
    echo "$head"
  fi
}

# Copies what the core build reads of tree $1 (its CMake files and src/) into
# the scratch directory and prints the copy's path. Times are kept, so an
# unchanged file is not compiled again.
snapshot() {
  local src=$1
  local copy="$work/copy-$(basename "$src")-$(printf '%s' "$src" | sha1sum | cut -c1-8)"
  rm -rf "$copy"
  mkdir -p "$copy"
  cp -a "$src/CMakeLists.txt" "$src/cmake" "$src/src" "$copy/"
  echo "$copy"
}

# Configures and builds the dumper against tree $1 with the CMake arguments
# that follow; prints the build directory.
build() {
  local src=$1
  shift
  local dir="$work/build-$(basename "$src")-$(printf '%s\n' "$src" "$@" | sha1sum | cut -c1-12)"
  cmake -S "$tool_dir" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENDRO_SRC="$src" "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log" >&2; return 1; }
  cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1 || { tail -40 "$dir.build.log" >&2; return 1; }
  echo "$dir"
}

key_args=()
for k in ${KEYS:-}; do key_args+=(--key "$k"); done

# Dumps with build $1 into $2.shard-K, `jobs` shards at once.
dump() {
  local dir=$1 out=$2 k failed=0
  local pids=()
  rm -f "$out".shard-*
  for ((k = 0; k < jobs; k++)); do
    "$dir/value_dump" "$out.shard-$k" --shard "$k" "$jobs" "${key_args[@]}" &
    pids+=($!)
  done
  for p in "${pids[@]}"; do wait "$p" || failed=1; done
  return $failed
}

stamp=$(date -u +%Y%m%dT%H%M%SZ)
# The dumps (about 1.2 GB a build) go whatever the outcome.
trap 'rm -f "$work/dump-$stamp-"*' EXIT
old_text=$(describe "$old_src")
new_text=$(describe "$new_src")
new_copy=$(snapshot "$new_src")

echo "building against $old_src ..." >&2
old_build=$(build "$old_src") || exit 2
# The tools' own checks (built where GoogleTest is found).
for t in dump_compare_test residue_series_test named_series_test; do
  if [ -x "$old_build/$t" ]; then
    "$old_build/$t" >"$old_build/$t.log" 2>&1 || { tail -30 "$old_build/$t.log" >&2; exit 2; }
  fi
done
echo "dumping ..." >&2
dump "$old_build" "$work/dump-$stamp-old" || exit 2
new_builds=()
for ((g = 0; g < ${#groups[@]}; g++)); do
  IFS=$sep read -r -a args <<<"${groups[g]}"
  echo "building against $new_src ${args[*]} ..." >&2
  dir=$(build "$new_copy" "${args[@]}") || exit 2
  new_builds+=("$dir")
  echo "dumping ..." >&2
  dump "${new_builds[g]}" "$work/dump-$stamp-new$g" || exit 2
done

report="$work/report-$stamp.txt"
status=0
# Sets dump $2 (told as $1) against dump $4 (told as $3).
compare() {
  {
    echo "== old: $1"
    echo "== new: $3"
    echo
  } >>"$report"
  local rc=0
  "${new_builds[0]}/value_compare" ${ALL:+--all} --old "$2".shard-* --new "$4".shard-* >>"$report" || rc=$?
  echo >>"$report"
  [ "$rc" -le "$status" ] || status=$rc
}
with() { [ -n "${groups[$1]}" ] && echo " built with ${groups[$1]//$sep/ }" || true; }
: >"$report"
for ((g = 0; g < ${#groups[@]}; g++)); do
  compare "$old_src at $old_text" "$work/dump-$stamp-old" \
    "$new_src at $new_text$(with "$g")" "$work/dump-$stamp-new$g"
done
for ((g = 1; g < ${#groups[@]}; g++)); do
  compare "$new_src at $new_text$(with 0)" "$work/dump-$stamp-new0" \
    "$new_src at $new_text$(with "$g")" "$work/dump-$stamp-new$g"
done
cat "$report"
echo "(report kept as $report)" >&2
exit $status
