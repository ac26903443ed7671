#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test in both presets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
for preset in default asan; do
  echo "== $preset =="
  cmake --workflow --preset "$preset"
done
