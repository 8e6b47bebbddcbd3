#!/usr/bin/env bash
# The main job: builds the libraries and shows what was built and what each
# library exports.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)"

for library in build/release/src/libtolv*.so; do
  echo
  echo "$(basename "$(readlink -f "$library")") ($(stat -c %s "$(readlink -f "$library")") bytes)"
  nm -D --defined-only "$library" | awk '$2 != "A" {print $3}' | sed 's/@.*//' | c++filt | sed 's/^/  exports: /'
done
