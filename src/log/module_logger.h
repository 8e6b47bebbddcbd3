// A module's logger slot: the module's named session, fetched from the
// manager on first use and kept (fetched anew after the manager's reset).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "tolvcomm/log.h"

namespace tolv::log {

class ModuleLogger {
public:
    explicit ModuleLogger(const char* session_name) : session_name_(session_name) {}
    ModuleLogger(const ModuleLogger&) = delete;
    ModuleLogger& operator=(const ModuleLogger&) = delete;

    void log(std::uint32_t level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    ILogSession* session();
    // Whether a line of the level would be written: for lines whose
    // arguments cost something to work out.
    bool enabled(std::uint32_t level) { return (session()->get_level_mask() & level) != 0; }

private:
    const char* session_name_;
    std::atomic<ILogSession*> session_{nullptr};
    std::atomic<std::uint32_t> generation_{0};
    std::mutex lock_;
};

// The session of the SNMP layer (values, codec, sessions).
ModuleLogger& snmp_logger();
// The session of the network transport.
ModuleLogger& socket_logger();

// Logs "[name] enter." now and "[name] exit." when the scope ends, at Trace.
class TraceScope {
public:
    TraceScope(ModuleLogger& logger, const char* name) : logger_(logger), name_(name) {
        logger_.log(log_level::kTrace, "[%s] enter.", name_);
    }
    ~TraceScope() { logger_.log(log_level::kTrace, "[%s] exit.", name_); }
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

private:
    ModuleLogger& logger_;
    const char* name_;
};

}  // namespace tolv::log
