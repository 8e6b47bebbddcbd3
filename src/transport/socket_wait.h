// Waiting on a socket by its handle: DataGramSocket's receive, and the
// SNMPv3 discovery, which waits on the socket under the library's session
// before the library reads from it.
#pragma once

#include <cstdint>

#include "platform/winsock.h"

namespace tolv::transport {

// Waits up to timeout_ms (-1: without limit) until a datagram can be read:
// 0, -203 when the time passed, -204 when the wait itself failed (logged).
std::int32_t wait_readable(winsock::Socket socket, std::int32_t timeout_ms);

}  // namespace tolv::transport
