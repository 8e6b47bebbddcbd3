// Waiting on and switching a socket by its handle: shared by DataGramSocket
// and by the SNMPv3 discovery, whose socket the Net-SNMP library opened.
#pragma once

#include <cstdint>

#include "platform/winsock.h"

namespace tolv::transport {

// Waits up to timeout_ms (-1: without limit) until a datagram can be read:
// 0, -203 when the time passed, -204 when the wait itself failed (logged).
std::int32_t wait_readable(winsock::Socket socket, std::int32_t timeout_ms);

// Lets the socket send to broadcast addresses: 0, or -1 (logged).
std::int32_t set_broadcast_flag(winsock::Socket socket, bool on);

}  // namespace tolv::transport
