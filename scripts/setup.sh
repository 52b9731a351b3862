#!/usr/bin/env bash
# Installs what building and testing need; does nothing when it is all there.
set -euo pipefail

APT_PACKAGES=(g++ cmake ninja-build make libgtest-dev libbenchmark-dev librust-blake3-dev
              nlohmann-json3-dev b3sum ccache python3 python3-venv python3-dev
              libllvmlibc-22-dev libmpfr-dev clang libclang-rt-14-dev)

missing=()
for p in "${APT_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Python side: one virtual environment for the module, its tests and the demo.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PY="${PYTHON:-python3}"
if [ ! -x "$ROOT/.venv/bin/python" ]; then
  "$PY" -m venv "$ROOT/.venv"
fi
if ! "$ROOT/.venv/bin/python" -c "import pytest, scikit_build_core" 2>/dev/null; then
  "$ROOT/.venv/bin/python" -m pip install -q --upgrade pip
  "$ROOT/.venv/bin/python" -m pip install -q pytest scikit-build-core
fi
