#!/usr/bin/env bash
# Runs the Python tests and the C++ stop tests N times in a row beside K busy
# loops (default: half the cores), and prints every failure: tests that
# depend on timing or load show up here long before they do in CI.
#
#   bash scripts/stress_tests.sh [N=100] [K=nproc/2]
#
# BUILD_DIR (default build) holds the C++ test programs; PYTHON (default
# $BUILD_DIR/test-venv/bin/python, as scripts/test.sh makes it) has the wheel
# and pytest installed. PARTS="python cpp" (the default) picks what runs.
# Each failed run's output is kept in $BUILD_DIR/stress-logs.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(realpath -m "${BUILD_DIR:-$ROOT/build}")"
PYTHON="${PYTHON:-$BUILD/test-venv/bin/python}"
PARTS="${PARTS:-python cpp}"
RUNS="${1:-100}"
LOOPS="${2:-$(( $(nproc) / 2 ))}"
LOGS="$BUILD/stress-logs"

# The stop and interrupt cases, by program.
CPP_STOP_TESTS=(
  "test_module:CommandInterrupt.*:ProveInterrupt.*:MetricsInterrupt.*:LongTextStop.*:FreeingThread.*"
  "test_proof:InBarStop.*:CandleSeal.*"
  "test_json:ParseInterrupt.*:PacedSort.*:PacedSortInTheParser.*:ReallocStack.*:DescribeLong.*"
  "test_util:CopyPaced.*:EqualPaced.*:FindPaced.*:ReservePaced.*:ShrinkToFitPaced.*:RuleWindowRoom.*:FreeLater.*:ReleaseLongText.*:AppendPaced.*"
  "test_strategy:IndicatorStretches.*:MetricsStretches.*:WalkPacing.*:ReadStrategySpec.*"
  "test_indicators:PeriodogramTables.ATableWhoseBuildIsStoppedIsNotKept:*LongBar*"
)

busy=()
stop_busy() {
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${busy[@]}"; do wait "$pid" 2>/dev/null; done
  busy=()
}
trap stop_busy EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# Each loop also ends by itself once this script is gone, even killed outright.
for ((k = 0; k < LOOPS; k++)); do
  (while kill -0 "$$" 2>/dev/null; do :; done) &
  busy+=("$!")
done

rm -rf "$LOGS"
mkdir -p "$LOGS"
failed_runs=0
declare -A failures=()

# Runs one part (name, then the command) once; a failure's log is kept and
# the names of its failing tests counted.
run_part() {
  local name="$1" run="$2" log="$LOGS/$1-$2.log"
  shift 2
  "$@" >"$log" 2>&1
  local status=$?
  if [ "$status" -eq 0 ]; then
    rm -f "$log"
    return 0
  fi
  local names
  names="$(grep -hoE '^(FAILED|ERROR) [^ ]+|^\[  FAILED  \] [A-Za-z0-9_]+\.[^ ]+' "$log" |
    sed -E 's/^(FAILED|ERROR|\[  FAILED  \]) //' | sort -u)"
  [ -n "$names" ] || names="($name exited with status $status, no test named)"
  while read -r t; do
    failures["$t"]=$(( ${failures["$t"]:-0} + 1 ))
    echo "run $run: FAILED $t (log: $log)"
  done <<<"$names"
  return 1
}

python_tests() {
  # From outside the source tree, so that only the installed package is importable.
  (cd "$BUILD" && "$PYTHON" -m pytest -q -p no:cacheprovider "$ROOT/tests/python")
}

cpp_stop_tests() {
  local status=0 entry
  for entry in "${CPP_STOP_TESTS[@]}"; do
    "$BUILD/tests/${entry%%:*}" --gtest_brief=1 --gtest_filter="${entry#*:}" || status=1
  done
  return "$status"
}

echo "$RUNS runs of [$PARTS] beside $LOOPS busy loops"
started=$SECONDS
for ((run = 1; run <= RUNS; run++)); do
  ok=1
  for part in $PARTS; do
    case "$part" in
      python) run_part python "$run" python_tests || ok=0 ;;
      cpp) run_part cpp "$run" cpp_stop_tests || ok=0 ;;
      *) echo "unknown part $part" >&2; exit 2 ;;
    esac
  done
  [ "$ok" = 1 ] || failed_runs=$((failed_runs + 1))
done

echo "$RUNS runs in $((SECONDS - started)) s, $failed_runs with failures"
for t in "${!failures[@]}"; do
  echo "  ${failures[$t]} x $t"
done
[ "$failed_runs" -eq 0 ]
