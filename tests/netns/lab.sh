#!/usr/bin/env bash
# A discovery lab of network namespaces: a switch (a bridge), three agent
# hosts running snmpsimd on 0.0.0.0:161 and [::]:161, and a client host whose
# default routes lead into the lab, so that 255.255.255.255 and ff02::1 stay
# inside it. Runs the given command in the client namespace and returns its
# exit code; the lab is always taken down again (agents stopped by PID,
# namespaces deleted).
#
#   tests/netns/lab.sh COMMAND [ARGS...]
#
# The agents answer on 10.203.0.11, .12 and .13 (and their link-local IPv6
# addresses); the client is 10.203.0.2. Only 10.203.0.11 has the SNMPv3 user
# shaaes. These addresses exist only inside
# the lab's namespaces.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tag="tv$$"
switch="${tag}sw"
client="${tag}cl"
agents=("${tag}a1" "${tag}a2" "${tag}a3")
state="/tmp/tolv-lab-$tag"

teardown() {
  for ns in "${agents[@]}"; do
    "$root/sim/agent.sh" stop "$state/$ns" >/dev/null 2>&1 || true
  done
  for ns in "${agents[@]}" "$client" "$switch"; do
    ip netns del "$ns" 2>/dev/null || true
  done
  rm -rf "$state"
}
trap teardown EXIT

fail() {
  echo "lab: $*" >&2
  exit 1
}

[ "$(id -u)" -eq 0 ] || fail "network namespaces need root"

# One host: a namespace with loopback up, linked to the switch by a veth
# pair, with IPv6 duplicate address detection off so its link-local address
# is usable at once.
add_host() {
  local ns=$1 address=$2 index=$3
  ip netns add "$ns" || fail "cannot create namespace $ns"
  ip -n "$ns" link set lo up
  ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.accept_dad=0 net.ipv6.conf.default.accept_dad=0
  ip -n "$switch" link add "port$index" type veth peer name eth0 netns "$ns" || fail "cannot link $ns"
  ip -n "$switch" link set "port$index" master br0 up
  ip netns exec "$ns" sysctl -qw net.ipv6.conf.eth0.accept_dad=0
  ip -n "$ns" addr add "$address/24" dev eth0
  ip -n "$ns" link set eth0 up
}

mkdir -p "$state"
ip netns add "$switch" || fail "cannot create namespace $switch"
ip -n "$switch" link add br0 type bridge mcast_snooping 0
ip -n "$switch" link set br0 up

add_host "$client" 10.203.0.2 0
ip -n "$client" route add default dev eth0
ip -n "$client" -6 route add default dev eth0 2>/dev/null || true
index=1
for ns in "${agents[@]}"; do
  add_host "$ns" "10.203.0.1$index" "$index"
  index=$((index + 1))
done

# Only the first agent knows the SNMPv3 user shaaes; the others answer an
# engine-ID probe too but refuse that user.
for ns in "${agents[@]}"; do
  v3_user=()
  [ "$ns" = "${agents[0]}" ] && v3_user=(--v3-user=shaaes --v3-auth-key=sha-auth-phrase --v3-auth-proto=SHA
    --v3-priv-key=aes-priv-phrase --v3-priv-proto=AES)
  ip netns exec "$ns" "$root/sim/agent.sh" start "$state/$ns" 0.0.0.0 161 "$root/sim/data" \
    --agent-udpv6-endpoint='[::]:161' "${v3_user[@]}" >/dev/null || fail "agent in $ns did not start"
done

ip netns exec "$client" "$@"
