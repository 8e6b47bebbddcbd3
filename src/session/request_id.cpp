#include "session/request_id.h"

#include <atomic>

namespace tolv {
namespace {
std::atomic<std::uint32_t> counter{0xFFFFFFFFu};  // -1: the 32-bit pattern wraps like the signed counter
}

std::int32_t next_request_id() { return static_cast<std::int32_t>(counter.fetch_add(1) + 1); }

}  // namespace tolv
