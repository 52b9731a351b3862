#!/usr/bin/env bash
# Lines of src/ that the fuzz corpora reach, by folder: builds the fuzz
# targets with source-based coverage (build-cov, or BUILD_COV_DIR), replays
# each target's corpus folders once and prints the per-folder line coverage.
#
#   bash scripts/fuzz_coverage.sh build-san/corpus tests/fuzz/corpus
# Each argument is a folder holding one corpus folder per target (named as
# in tests/fuzz/corpus); without arguments the checked-in seeds are replayed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
BUILD="$(realpath -m "${BUILD_COV_DIR:-build-cov}")"
JOBS="${JOBS:-$(nproc)}"
roots=("$@")
((${#roots[@]})) || roots=(tests/fuzz/corpus)
for i in "${!roots[@]}"; do roots[$i]="$(realpath -m "${roots[$i]}")"; done

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENDRO_COVERAGE=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"

rm -rf "$BUILD/profiles"
mkdir -p "$BUILD/profiles"
objects=()
for src in tests/fuzz/fuzz_*.cpp; do
  t="$(basename "$src" .cpp)"
  name="${t#fuzz_}"
  dirs=()
  for r in "${roots[@]}"; do [ -d "$r/$name" ] && dirs+=("$r/$name"); done
  ((${#dirs[@]})) || continue
  objects+=(-object "$BUILD/fuzz/$t")
  # -runs=0: every input of the folders once, nothing new tried.
  (cd "$BUILD/profiles" && LLVM_PROFILE_FILE="$BUILD/profiles/$name.profraw" \
     "$BUILD/fuzz/$t" -runs=0 -timeout=60 -rss_limit_mb=4096 "${dirs[@]}" >"$name.log" 2>&1)
done
llvm-profdata-14 merge -sparse "$BUILD"/profiles/*.profraw -o "$BUILD/profiles/all.profdata"
llvm-cov-14 export -summary-only -instr-profile "$BUILD/profiles/all.profdata" "${objects[@]:1}" \
  "$ROOT/src" >"$BUILD/profiles/summary.json"

python3 - "$BUILD/profiles/summary.json" "$ROOT/src/fendro/" <<'PY'
import json, os, sys
summary, prefix = sys.argv[1], sys.argv[2]
folders = {}
for f in json.load(open(summary))["data"][0]["files"]:
    name = os.path.normpath(f["filename"])  # ccache may leave build/../src paths
    if not name.startswith(prefix):
        continue
    rel = os.path.dirname(name[len(prefix):])
    # indicators/<family>; every other folder at its top level.
    parts = rel.split("/")
    key = "/".join(parts[:2]) if parts[0] == "indicators" and len(parts) > 1 else parts[0]
    lines = f["summary"]["lines"]
    if lines["count"] == 0:
        continue
    got = folders.setdefault(key, [0, 0])
    got[0] += lines["covered"]
    got[1] += lines["count"]
total = [sum(v[0] for v in folders.values()), sum(v[1] for v in folders.values())]
for key in sorted(folders):
    c, n = folders[key]
    print(f"{key:24} {100.0 * c / n:6.1f}%  {c:6}/{n}")
print(f"{'all of src/fendro':24} {100.0 * total[0] / total[1]:6.1f}%  {total[0]:6}/{total[1]}")
PY
