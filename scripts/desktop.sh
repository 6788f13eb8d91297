#!/usr/bin/env bash
# Installs what is missing, builds (Release) and starts the desktop program on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_TESTS=OFF -DTAVELUNE_BENCH=OFF -DTAVELUNE_SANITIZE=OFF
cmake --build build -j"$(nproc)" --target tavelune tavelune-cli
exec build/tavelune "$@" samples/coffee.jpg
