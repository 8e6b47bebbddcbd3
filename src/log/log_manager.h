// The process-wide log manager: its sessions (the group "All" first), the
// outputs it keeps and the output factories.
#pragma once

#include <atomic>
#include <mutex>

#include "common/ptr_array.h"
#include "log/group_all.h"
#include "log/log_session.h"

namespace tolv::log {

class LogManager final : public ILogManager {
public:
    LogManager();
    ~LogManager();
    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

    ILogSession* get_session(const char* name, ILogOutput* output, std::int32_t* result) override;
    ILogGroup* find_group(const char* name, std::int32_t* result) override;
    ILogSession* get_session(const char* name, std::int32_t* result) override;
    ILogGroup* lookup_group(const char* name, std::int32_t* result) override;
    ILogOutput* get_output(const char* kind, const char* output_name) override;
    ILogOutput* find_output(const char* output_name, std::int32_t* result) override;
    std::int32_t register_factory(ILogOutputFactory* factory) override;
    void reset() override;

    // Changes with every reset(), so that holders of sessions fetch them anew.
    std::uint32_t generation() const { return generation_.load(std::memory_order_acquire); }

private:
    ILogSession* find_session_locked(const char* name) const;
    ILogOutput* find_output_locked(const char* output_name) const;

    mutable std::mutex lock_;
    GroupAll group_all_;
    PtrArray<ILogSession> sessions_;
    PtrArray<ILogOutput> outputs_;
    PtrArray<ILogOutputFactory> factories_;
    // Sessions forgotten by reset(). A module may still hold one and log to
    // it (muted, without outputs) until it notices the new generation, so
    // they stay alive.
    PtrArray<LogSession> retired_;
    std::atomic<std::uint32_t> generation_{0};
};

// The manager, created on first use and destroyed when the library is
// unloaded (or the process ends). After that it is null, and the module
// loggers write to the null session.
LogManager* log_manager();

}  // namespace tolv::log
