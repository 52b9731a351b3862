#!/usr/bin/env bash
# Writes docs/indicators.md from the registry (tests/reference). Run it after
# changing a registry row; ctest fails while the checked-in file differs.
# BUILD_DIR (default build) is the build tree to use, JOBS (default every
# core) its compile jobs.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
BUILD="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j "${JOBS:-$(nproc)}" --target fendro_reference
mkdir -p docs
"$BUILD/tests/fendro_reference" > docs/indicators.md.new
mv docs/indicators.md.new docs/indicators.md
echo "docs/indicators.md written"
