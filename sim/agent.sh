#!/usr/bin/env bash
# Starts and stops an snmpsimd agent serving the project's .snmprec data.
#
#   sim/agent.sh start STATE_DIR ADDRESS PORT [DATA_DIR] [extra snmpsimd options...]
#       starts the agent on ADDRESS:PORT (IPv4, or IPv6 in brackets-free form
#       when ADDRESS contains ':'), waits until it answers, writes its PID to
#       STATE_DIR/agent.pid and prints it.
#   sim/agent.sh stop STATE_DIR
#       stops the agent whose PID is in STATE_DIR/agent.pid (by PID only)
#       and removes STATE_DIR.
#
# The agent runs as nobody with its own copies of the data and cache
# folders, so it works the same when started as root.
set -euo pipefail

command=${1:?usage: agent.sh start|stop STATE_DIR ...}
state=${2:?state folder}
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=sim/pid_file.sh
. "$here/pid_file.sh"
stop_agent() { stop_recorded "$state/agent.pid" "$state"; }

case "$command" in
  start)
    address=${3:?address}
    port=${4:?port}
    data=${5:-$here/data}
    shift $(( $# >= 5 ? 5 : $# ))
    stop_agent  # an agent an interrupted run left behind in this folder
    mkdir -p "$state/data" "$state/cache"
    cp -r "$data"/. "$state/data/"
    user_options=()
    if [ "$(id -u)" -eq 0 ]; then
      chown -R nobody:nogroup "$state/data" "$state/cache"
      user_options=(--process-user=nobody --process-group=nogroup)
    fi
    if [[ "$address" == *:* ]]; then
      endpoint=(--agent-udpv6-endpoint="[$address]:$port")
      target="udp6:[$address]:$port"
    else
      endpoint=(--agent-udpv4-endpoint="$address:$port")
      target="$address:$port"
    fi
    snmpsimd --data-dir="$state/data" --cache-dir="$state/cache" "${endpoint[@]}" "${user_options[@]}" \
      --logging-method=file:"$state/agent.log" "$@" >"$state/agent.out" 2>&1 &
    echo $! >"$state/agent.pid"
    # Wait until it answers (it builds its indexes first).
    for _ in $(seq 150); do
      if snmpget -v2c -c public -t 0.2 -r 0 "$target" 1.3.6.1.2.1.1.1.0 >/dev/null 2>&1; then
        cat "$state/agent.pid"
        exit 0
      fi
      if ! kill -0 "$(cat "$state/agent.pid")" 2>/dev/null; then break; fi
      sleep 0.2
    done
    echo "snmpsimd did not answer on $target:" >&2
    cat "$state/agent.out" "$state/agent.log" >&2 2>/dev/null || true
    stop_agent
    exit 1
    ;;
  stop)
    stop_agent
    ;;
  *)
    echo "unknown command $command" >&2
    exit 2
    ;;
esac
