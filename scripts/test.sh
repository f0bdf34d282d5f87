#!/usr/bin/env bash
# The whole test suite from a clean clone: install what is missing, configure, build, run ctest;
# then the same suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
#   ZELMORA_BUILD_DIR       build folder (default build)
#   ZELMORA_ASAN_BUILD_DIR  build folder of the sanitizer pass (default build-asan)
#   ZELMORA_SANITIZE_TESTS  ctest -R pattern for the sanitizer pass (default: every suite);
#                           "off" leaves the pass out
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
build=${ZELMORA_BUILD_DIR:-build}
# The end-to-end suites drive the program through its ZELMORA_TEST_* hooks.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DZELMORA_TEST_HOOKS=ON
cmake --build "$build" --parallel "$jobs"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs"

selection=${ZELMORA_SANITIZE_TESTS:-}
[ "$selection" = off ] && exit 0

# Fuzz targets carry their own sanitizers and are not built here; benchmarks are not run by ctest.
asan=${ZELMORA_ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZELMORA_SANITIZE=ON -DZELMORA_BUILD_BENCH=OFF -DZELMORA_TEST_HOOKS=ON
cmake --build "$asan" --parallel "$jobs"
# Any finding fails its test: ASan and UBSan end the process with an error, LeakSanitizer at exit.
# tests/lsan.supp names Qt and system libraries, and a name matches any frame of an allocation's
# stack: two frames (the allocator and its caller) keep it to what those libraries allocate
# themselves, so a leak of our own code is never hidden by the Qt frames below it. For the whole
# stack of a finding, run its test again with malloc_context_size=30.
export ASAN_OPTIONS=detect_leaks=1:malloc_context_size=2
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
ctest --test-dir "$asan" --output-on-failure --parallel "$jobs" ${selection:+-R "$selection"}
