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

// Replaces the clock behind tick_count (null: the steady clock again), so
// that a scripted network can let time pass without sleeping.
using TickSource = std::uint32_t (*)();
void set_tick_source(TickSource source);

}  // namespace tolv::platform
