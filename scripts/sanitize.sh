#!/usr/bin/env bash
# The sanitizer check: builds the clang ASan + UBSan tree (build-san, or
# BUILD_SAN_DIR), runs every C++ test in it, then each fuzz target for
# FUZZ_SECONDS (default 60) seconds from the checked-in seeds. What the
# fuzzers find goes to a temporary folder; nothing is written into the repo.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh

BUILD="$(realpath -m "${BUILD_SAN_DIR:-build-san}")"
JOBS="${JOBS:-$(nproc)}"
export CMAKE_BUILD_PARALLEL_LEVEL="$JOBS"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENDRO_SANITIZE=ON \
  -DFENDRO_WERROR=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
FUZZ_CORPUS_DIR="$work" BUILD_SAN_DIR="$BUILD" bash scripts/fuzz.sh
