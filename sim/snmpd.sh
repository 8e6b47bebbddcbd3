#!/usr/bin/env bash
# Starts and stops Net-SNMP's agent snmpd with one SNMPv3 user, for the
# cases snmpsimd cannot show (authentication failures that the client
# library reports). Nothing of the system's own snmpd set-up is used.
#
#   sim/snmpd.sh start STATE_DIR ADDRESS PORT   (prints the PID)
#   sim/snmpd.sh stop STATE_DIR
#
# User "tolvuser": SHA "tolv-auth-phrase", AES "tolv-priv-phrase", read-only
# at authPriv.
set -euo pipefail
command=${1:?usage: snmpd.sh start|stop STATE_DIR ...}
state=${2:?state folder}

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=sim/pid_file.sh
. "$here/pid_file.sh"
stop_snmpd() { stop_recorded "$state/snmpd.pid" "$state"; }

case "$command" in
  start)
    address=${3:?address}
    port=${4:?port}
    stop_snmpd  # an agent an interrupted run left behind in this folder
    mkdir -p "$state/persist"
    cat >"$state/snmpd.conf" <<CONF
agentAddress udp:$address:$port
createUser tolvuser SHA "tolv-auth-phrase" AES "tolv-priv-phrase"
rouser tolvuser priv
sysName tolv-snmpd
CONF
    SNMP_PERSISTENT_DIR="$state/persist" snmpd -f -C -c "$state/snmpd.conf" -Lf "$state/snmpd.log" \
      -M /nonexistent -m "" >/dev/null 2>&1 &
    echo $! >"$state/snmpd.pid"
    for _ in $(seq 100); do
      if snmpget -v3 -u tolvuser -l authPriv -a SHA -A tolv-auth-phrase -x AES -X tolv-priv-phrase -t 0.2 -r 0 \
           "$address:$port" 1.3.6.1.2.1.1.5.0 >/dev/null 2>&1; then
        cat "$state/snmpd.pid"
        exit 0
      fi
      sleep 0.1
    done
    echo "snmpd did not answer on $address:$port" >&2
    cat "$state/snmpd.log" >&2 || true
    stop_snmpd
    exit 1
    ;;
  stop)
    stop_snmpd
    ;;
esac
