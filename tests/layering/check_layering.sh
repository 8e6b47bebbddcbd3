#!/usr/bin/env bash
# The folder layering, checked on the include lines:
# - only src/platform/ includes a Linux socket or network header;
# - nothing in snmp/ includes session/; nothing below client/ includes plugin/.
set -uo pipefail
root=$1
status=0

complain() {
  echo "$1:"
  echo "$2"
  status=1
}

socket_headers='#include <(sys/socket|netinet/[a-z_]+|arpa/inet|netdb|poll|sys/select|net/if|ifaddrs)\.h>'
hits=$(grep -rnE "$socket_headers" "$root/src" "$root/include" | grep -v "^$root/src/platform/")
[ -z "$hits" ] || complain "Linux socket headers outside src/platform/" "$hits"

hits=$(grep -rnE '#include "session/' "$root/src/snmp" 2>/dev/null)
[ -z "$hits" ] || complain "snmp/ includes session/" "$hits"

for folder in common platform transport snmp session client log; do
  hits=$(grep -rnE '#include "plugin/' "$root/src/$folder" 2>/dev/null)
  [ -z "$hits" ] || complain "$folder/ includes plugin/" "$hits"
done

[ $status -eq 0 ] && echo "layering holds"
exit $status
