// The process-wide request-id counter: starts at -1 and is incremented
// atomically for every encoded request, so the first request carries 0.
#pragma once

#include <cstdint>

namespace tolv {

std::int32_t next_request_id();

}  // namespace tolv
