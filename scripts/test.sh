#!/usr/bin/env bash
# Builds the core and runs every test: the C++ tests through ctest and the
# Python module's tests through pytest.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh

JOBS="${JOBS:-$(nproc)}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

if [ -f pyproject.toml ] && [ -d tests/python ]; then
  .venv/bin/python -m pip install -q .
  .venv/bin/python -m pytest -q tests/python
fi
