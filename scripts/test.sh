#!/usr/bin/env bash
# Installs what is missing, builds (Release) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_TESTS=ON -DTAVELUNE_BENCH=ON -DTAVELUNE_SANITIZE=OFF
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
# The desktop program driven as a user would, when an X server can be started.
bash scripts/gui-smoke.sh build
# The fuzz targets must keep building (running them is separate: see fuzz/README.md).
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVELUNE_FUZZ=ON -DTAVELUNE_TESTS=OFF -DTAVELUNE_BENCH=OFF -DTAVELUNE_GUI=OFF
cmake --build build-fuzz -j"$(nproc)"
