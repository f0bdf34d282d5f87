#!/usr/bin/env bash
# The whole test suite from a clean clone: install what is missing, configure, build, run ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=${ZELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
