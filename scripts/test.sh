#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the plain build, the sanitized
# build, the fuzzers for a bounded time, the Windows build under Wine, and the web pages in
# Node and Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
for preset in default asan fuzz windows web; do
  echo "== $preset =="
  cmake --workflow --preset "$preset"
done
