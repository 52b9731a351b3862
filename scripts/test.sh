#!/usr/bin/env bash
# Builds the core and runs every test: the C++ tests through ctest, then the
# Python module's tests through pytest against the built wheel installed into
# a fresh virtual environment. BUILD_DIR (default build) holds everything built.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh

BUILD="$(realpath -m "${BUILD_DIR:-build}")"
JOBS="${JOBS:-$(nproc)}"
export CMAKE_BUILD_PARALLEL_LEVEL="$JOBS"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFENDRO_WERROR=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"

# The wheel, built as a user's `pip install .` builds it (the core objects come
# from ccache after the build above), but with warnings as errors.
rm -rf "$BUILD/wheels"
.venv/bin/python -m pip wheel -q --disable-pip-version-check --no-build-isolation --no-deps \
  -C build-dir="$BUILD/wheel-build" -C cmake.define.FENDRO_WERROR=ON -w "$BUILD/wheels" .

# The edit-and-test loop of docs/developing.md, read from the page and run in
# a tree of its own, as from a fresh clone (its compiles come from ccache): a
# target or test it names that moved fails here, and so does its
# `pip install` if it builds the wheel's unchanged tree above again.
rm -rf "$BUILD-loop"
.venv/bin/python scripts/dev_loop.py "$BUILD-loop" "$BUILD/wheel-build"

# Every C++ test again under ASan + UBSan in a clang build, then each fuzz
# target for FUZZ_SECONDS (default 60) from the checked-in seeds.
JOBS="$JOBS" BUILD_SAN_DIR="$BUILD-san" bash scripts/sanitize.sh

# Same bytes on every machine: the fingerprint with glibc's AVX2/FMA paths
# masked and from the clang build, the module's libm imports, the sources.
bash scripts/check_determinism.sh "$BUILD" "$BUILD-san/tests/fendro_fingerprint"

rm -rf "$BUILD/test-venv"
.venv/bin/python -m venv "$BUILD/test-venv"
wheel=("$BUILD"/wheels/fendro_proof-*.whl)
# The wheel with its test extra: what the tests import, as a user gets it.
"$BUILD/test-venv/bin/python" -m pip install -q --disable-pip-version-check "${wheel[0]}[test]"

# Run from outside the source tree so that only the installed package is importable.
status=0
(cd "$BUILD" && test-venv/bin/python -m pytest -q -rs -p no:cacheprovider "$ROOT/tests/python") || status=$?
if [ "$status" -eq 5 ]; then
  echo "pytest collected no tests although tests/python has test files" >&2
fi
# The Python benchmark scripts' options, each tried with each bad value, run
# with the installed module (ctest tried the C++ programs' already).
BENCH_DIR="$BUILD/bench" BENCH_PROGRAMS=python "$BUILD/test-venv/bin/python" \
  "$ROOT/tests/bench/test_bench_option_values.py" || status=1
exit "$status"
