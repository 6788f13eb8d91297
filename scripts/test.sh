#!/usr/bin/env bash
# Installs what is missing, builds (Release) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release -j"$(nproc)"
# The desktop program driven as a user would, when an X server can be started.
bash scripts/gui-smoke.sh build
# The fuzz targets, 20 s each from their seeds (longer runs: see fuzz/README.md).
cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"
bash fuzz/run-all.sh 20
