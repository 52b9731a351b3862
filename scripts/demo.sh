#!/usr/bin/env bash
# Proves an example strategy on the sample candles, verifies the proof and shows
# that a tampered proof is rejected. Installs what it needs first.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
echo "demo: building and installing the fendro_proof module ..."
# The wheel's compile jobs (JOBS, default every core).
export CMAKE_BUILD_PARALLEL_LEVEL="${JOBS:-$(nproc)}"
.venv/bin/python -m pip install -q --disable-pip-version-check --no-build-isolation .
.venv/bin/python examples/prove_demo.py
