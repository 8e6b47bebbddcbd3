// A Net-SNMP transport over a DataGramSocket: the library sends, receives
// and closes through our socket layer, so SNMPv3 traffic takes the same
// sockets (and the same socket library) as SNMPv1 and SNMPv2c.
#pragma once

#include <cstdint>

#include "tolvcomm/network_address.h"

struct netsnmp_transport_s;
class DataGramSocket;

namespace tolv::netsnmp {

// A transport sending to `destination` (copied; port 0 means 161) from a
// socket bound to `local_port` (0: any). Its sender text, as the library's
// format function gives it, is "[host]:port". Null with *result set when
// the socket cannot be made. The library owns the transport once it is
// given to a session; closing the session closes the socket.
netsnmp_transport_s* create_transport(const IPmcNetworkAddress* destination, std::uint16_t local_port,
                                      std::int32_t* result);

// The socket under a transport made by create_transport.
DataGramSocket* socket_of(netsnmp_transport_s* transport);

}  // namespace tolv::netsnmp
