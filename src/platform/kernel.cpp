#include "platform/kernel.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>

namespace tolv::platform {

LocalTime local_time() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                     parts.tm_min,         parts.tm_sec,     static_cast<int>(millis)};
}

std::uint32_t process_id() { return static_cast<std::uint32_t>(getpid()); }

std::uint32_t thread_id() { return static_cast<std::uint32_t>(syscall(SYS_gettid)); }

namespace {
std::atomic<TickSource> tick_source{nullptr};
}

void set_tick_source(TickSource source) { tick_source.store(source); }

std::uint32_t tick_count() {
    if (TickSource source = tick_source.load(std::memory_order_relaxed); source != nullptr) return source();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace tolv::platform
