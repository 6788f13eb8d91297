#!/usr/bin/env bash
# Installs what is missing, builds (Release) and converts the bundled sample with the default film.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTAVELUNE_TESTS=OFF -DTAVELUNE_BENCH=OFF -DTAVELUNE_SANITIZE=OFF
cmake --build build -j"$(nproc)" --target tavelune-cli
mkdir -p out
build/tavelune-cli convert samples/coffee.jpg out/coffee.jpg
