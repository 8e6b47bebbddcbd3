#!/usr/bin/env bash
# Starts the agent on loopback, walks its 1000-row table with GetData, with
# snmpwalk -v1 and with a bare socket loop, and stops the agent again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLV_BUILD_BENCH=ON -DTOLV_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target walk_bench >/dev/null
state=$(mktemp -d -u /tmp/tolv-bench-agent.XXXXXX)
trap 'sim/agent.sh stop "$state"' EXIT
sim/agent.sh start "$state" 127.0.0.1 17261 >/dev/null
build/bench/bench/walk_bench 127.0.0.1 17261 "${1:-7}"
