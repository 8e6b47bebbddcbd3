#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then an AddressSanitizer
# + UndefinedBehaviorSanitizer build; then the tests that run threads once
# more under ThreadSanitizer. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

echo "== normal build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== sanitizer build (address, undefined)"
CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLV_SANITIZE=ON -DTOLV_FUZZ=ON >/dev/null
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

echo "== thread sanitizer build (the tests that run threads)"
CC=clang CXX=clang++ cmake -S . -B build/threads -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLV_THREAD_SANITIZE=ON >/dev/null
cmake --build build/threads -j "$jobs" --target agent_tests unit_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/threads --output-on-failure -R "Threads|SocketApiTest.ConcurrentFirstUsersLoadOnce"
