// Kernel services the rest of the library relies on: time, process and
// thread identity.
#pragma once

#include <cstdint>

namespace tolv::platform {

struct LocalTime {
    int year;
    int month;  // 1 to 12
    int day;
    int hour;
    int minute;
    int second;
    int millisecond;
};

LocalTime local_time();
std::uint32_t process_id();
std::uint32_t thread_id();
// Milliseconds from a steady clock; wraps at 32 bits.
std::uint32_t tick_count();

}  // namespace tolv::platform
