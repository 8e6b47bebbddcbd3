#!/usr/bin/env bash
# Starts the agent with an SNMPv3 user on loopback, runs 200 sequential
# authPriv GETs through GetData and through Net-SNMP's library, stops it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLV_BUILD_BENCH=ON -DTOLV_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target v3_bench >/dev/null
state=$(mktemp -d -u /tmp/tolv-bench-agent.XXXXXX)
trap 'sim/agent.sh stop "$state"' EXIT
sim/agent.sh start "$state" 127.0.0.1 17263 sim/data --v3-user=shaaes --v3-auth-key=sha-auth-phrase \
  --v3-auth-proto=SHA --v3-priv-key=aes-priv-phrase --v3-priv-proto=AES >/dev/null
build/bench/bench/v3_bench 127.0.0.1 17263 "${1:-3}"
