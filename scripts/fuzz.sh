#!/usr/bin/env bash
# Builds the sanitizer tree (clang, ASan + UBSan, libFuzzer) and runs every
# fuzz target of tests/fuzz for FUZZ_SECONDS (default 60) seconds, all targets
# at once, each with FUZZ_WORKERS (default 1) processes, niced.
#
# The inputs each run finds go to FUZZ_CORPUS_DIR/<target> (default
# <build>/corpus, kept between runs), which is read together with the
# checked-in seeds tests/fuzz/corpus/<target>; the seeds are never written.
# A failing input lands in <build>/artifacts; the script then fails.
#
#   FUZZ_SECONDS=600 bash scripts/fuzz.sh                  # every target
#   FUZZ_SECONDS=60 bash scripts/fuzz.sh fuzz_candles      # one of them
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh

BUILD="$(realpath -m "${BUILD_SAN_DIR:-build-san}")"
JOBS="${JOBS:-$(nproc)}"
FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
FUZZ_WORKERS="${FUZZ_WORKERS:-1}"
CORPUS="$(realpath -m "${FUZZ_CORPUS_DIR:-$BUILD/corpus}")"

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENDRO_SANITIZE=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for src in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

mkdir -p "$BUILD/artifacts" "$BUILD/dicts"
# The command words: a few checked in, the member names and enumeration words
# taken from the string literals of the readers and writers, and the type keys
# and aliases from the registry, through the fingerprint program's one line per key.
{
  cat tests/fuzz/command.dict
  grep -ohE '"([a-z][a-z0-9_]*|[0-9]+\.[0-9]+\.[0-9]+)"' src/fendro/{strategy,module,proof,market,registry}/*.[ch]pp |
    sort -u | sed 's/^"\(.*\)"$/"\\"\1\\""/'
  "$BUILD/tests/fendro_fingerprint" 1 --halted 0 --settled 0 0 | awk '$1 != "all" { printf "\"\\\"%s\\\"\"\n", $1 }'
} >"$BUILD/dicts/command.dict"
cp tests/fuzz/json.dict tests/fuzz/candles.dict "$BUILD/dicts/"
pids=()
for t in "${targets[@]}"; do
  name="${t#fuzz_}"
  mkdir -p "$CORPUS/$name"
  dict="$BUILD/dicts/${name%%_*}.dict"
  args=(-max_total_time="$FUZZ_SECONDS" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1
        -artifact_prefix="$BUILD/artifacts/$name-")
  [ -f "$dict" ] && args+=(-dict="$dict")
  [ "$FUZZ_WORKERS" -gt 1 ] && args+=(-jobs="$FUZZ_WORKERS" -workers="$FUZZ_WORKERS")
  # Workers write their logs (fuzz-<n>.log) to the current folder.
  logs="$BUILD/logs/$name"
  rm -rf "$logs"
  mkdir -p "$logs"
  echo "fuzz: $t for ${FUZZ_SECONDS}s (logs in $logs)"
  (cd "$logs" && exec nice "$BUILD/fuzz/$t" "${args[@]}" "$CORPUS/$name" "$ROOT/tests/fuzz/corpus/$name" \
     >main.log 2>&1) &
  pids+=($!)
done

status=0
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then
    echo "fuzz: ${targets[$i]} FAILED; its log:" >&2
    tail -n 60 "$BUILD/logs/${targets[$i]#fuzz_}"/*.log >&2
    status=1
  fi
done
for t in "${targets[@]}"; do
  name="${t#fuzz_}"
  # With several workers each one's count is in its own log.
  runs=$( { grep -h "stat::number_of_executed_units" "$BUILD/logs/$name"/*.log 2>/dev/null ||
            true; } | awk '{s += $2} END {print s + 0}')
  echo "fuzz: $t: $runs executions"
done
exit "$status"
