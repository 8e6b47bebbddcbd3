#include "transport/socket_wait.h"

#include "log/module_logger.h"
#include "tolvcomm/result_codes.h"
#include "transport/socket_api.h"

namespace ws = tolv::winsock;
using tolv::log::socket_logger;

namespace tolv::transport {

std::int32_t wait_readable(ws::Socket socket, std::int32_t timeout_ms) {
    if (NPmcSocketAPI::load() != kOk) return kErrReceive;
    ws::FdSet readable{};
    readable.count = 1;
    readable.sockets[0] = socket;
    ws::TimeVal wait{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    const int ready = NPmcSocketAPI::select(0, &readable, nullptr, nullptr, timeout_ms == -1 ? nullptr : &wait);
    if (ready == ws::kSocketError) {
        socket_logger().log(log_level::kError, "fail select(). WSAGetLastError()=%d", NPmcSocketAPI::WSAGetLastError());
        return kErrReceive;
    }
    if (ready == 0) {
        socket_logger().log(log_level::kTrace, "select API timeout.");
        return kErrTimeout;
    }
    return kOk;
}

}  // namespace tolv::transport
