#!/usr/bin/env bash
# Proves an example strategy on the bundled sample candles and verifies it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh
.venv/bin/python -m pip install -q .
.venv/bin/python examples/prove_demo.py
