#include "log/module_logger.h"

#include "log/log_manager.h"
#include "log/null_session.h"

namespace tolv::log {

ILogSession* ModuleLogger::session() {
    LogManager* manager = log_manager();
    if (manager == nullptr) return null_session();
    const std::uint32_t generation = manager->generation();
    ILogSession* session = session_.load(std::memory_order_acquire);
    if (session != nullptr && generation_.load(std::memory_order_acquire) == generation) return session;
    std::lock_guard guard(lock_);
    session = session_.load(std::memory_order_relaxed);
    if (session == nullptr || generation_.load(std::memory_order_relaxed) != generation) {
        session = manager->get_session(session_name_, nullptr);
        generation_.store(generation, std::memory_order_release);
        session_.store(session, std::memory_order_release);
    }
    return session;
}

void ModuleLogger::log(std::uint32_t level, const char* format, ...) {
    ILogSession* target = session();
    va_list args;
    va_start(args, format);
    target->log_va(static_cast<std::int32_t>(level), format, args);
    va_end(args);
}

ModuleLogger& snmp_logger() {
    static ModuleLogger logger("snmp");
    return logger;
}

ModuleLogger& socket_logger() {
    static ModuleLogger logger("socket");
    return logger;
}

}  // namespace tolv::log
