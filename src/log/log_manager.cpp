#include "log/log_manager.h"

#include <cstring>

#include "common/allocation.h"
#include "common/result.h"
#include "log/null_session.h"
#include "log/output_factories.h"
#include "log/stdout_output.h"

namespace tolv::log {
namespace {
ILogOutput* null_output_of(const char* kind) {
    if (kind != nullptr && std::strcmp(kind, "file") == 0) return null_file_output();
    return null_standard_output();
}

bool same_text(const char* a, const char* b) { return a != nullptr && b != nullptr && std::strcmp(a, b) == 0; }
}  // namespace

LogManager::~LogManager() {
    for (ILogSession* session : sessions_) {
        if (session != &group_all_) static_cast<LogSession*>(session)->destroy();
    }
    for (LogSession* session : retired_) session->destroy();
    for (ILogOutput* output : outputs_) {
        if (auto* managed = dynamic_cast<ManagedOutputBase*>(output); managed != nullptr) {
            managed->destroy();
        } else {
            output->release();
        }
    }
    for (ILogOutputFactory* factory : factories_) factory->release();
}

LogManager::LogManager() {
    // The lists start with room enough that these never fail.
    sessions_.push_back(&group_all_);
    factories_.push_back(stdout_factory());
    factories_.push_back(file_factory());
}

ILogSession* LogManager::find_session_locked(const char* name) const {
    for (ILogSession* session : sessions_) {
        if (std::strcmp(session->get_name(), name) == 0) return session;
    }
    return nullptr;
}

ILogOutput* LogManager::find_output_locked(const char* output_name) const {
    for (ILogOutput* output : outputs_) {
        if (std::strcmp(output->get_name(), output_name) == 0) return output;
    }
    return nullptr;
}

ILogSession* LogManager::get_session(const char* name, ILogOutput* output, std::int32_t* result) {
    if (name == nullptr) {
        set_result(result, kErrBadArgument);
        return null_session();
    }
    std::lock_guard guard(lock_);
    if (ILogSession* existing = find_session_locked(name); existing != nullptr) {
        set_result(result, kOk);
        return existing;
    }
    auto* session = create<LogSession>();
    std::int32_t code = session != nullptr ? session->set_name(name) : kErrNoMemory;
    if (code == kOk) code = group_all_.add_member(session);
    if (code == kOk && output != nullptr) code = session->add_output(output);
    if (code == kOk) code = sessions_.push_back(session);
    if (code != kOk) {
        if (session != nullptr) {
            group_all_.remove_member(session);
            session->destroy();
        }
        set_result(result, code);
        return null_session();
    }
    set_result(result, kOk);
    return session;
}

ILogSession* LogManager::get_session(const char* name, std::int32_t* result) {
    return get_session(name, nullptr, result);
}

ILogGroup* LogManager::find_group(const char* name, std::int32_t* result) {
    if (name == nullptr) {
        set_result(result, kErrBadArgument);
        return null_group();
    }
    std::lock_guard guard(lock_);
    ILogSession* entry = find_session_locked(name);
    if (entry == nullptr) return fail<ILogGroup>(result, kErrSessionNotFound);
    if (entry != &group_all_) return fail<ILogGroup>(result, kErrPlatform);  // an ordinary session has no group
    set_result(result, kOk);
    return &group_all_;
}

ILogGroup* LogManager::lookup_group(const char* name, std::int32_t* result) { return find_group(name, result); }

ILogOutput* LogManager::get_output(const char* kind, const char* output_name) {
    if (kind == nullptr) kind = "stdout";
    if (output_name == nullptr) return null_output_of(kind);
    std::lock_guard guard(lock_);
    if (ILogOutput* existing = find_output_locked(output_name); existing != nullptr) {
        return same_text(existing->get_kind(), kind) ? existing : null_output_of(kind);
    }
    ILogOutputFactory* factory = nullptr;
    for (ILogOutputFactory* candidate : factories_) {
        if (same_text(candidate->get_kind(), kind)) factory = candidate;
    }
    if (factory == nullptr) return nullptr;
    ILogOutput* output = factory->create(output_name, nullptr);
    if (output == nullptr) return null_output_of(kind);
    if (outputs_.push_back(output) != kOk) {
        output->release();
        return null_output_of(kind);
    }
    if (auto* managed = dynamic_cast<ManagedOutputBase*>(output); managed != nullptr) managed->set_managed();
    return output;
}

ILogOutput* LogManager::find_output(const char* output_name, std::int32_t* result) {
    if (output_name == nullptr) {
        set_result(result, kErrBadArgument);
        return null_standard_output();
    }
    std::lock_guard guard(lock_);
    if (ILogOutput* output = find_output_locked(output_name); output != nullptr) {
        set_result(result, kOk);
        return output;
    }
    set_result(result, kErrNotFound);
    return null_standard_output();
}

std::int32_t LogManager::register_factory(ILogOutputFactory* factory) {
    if (factory == nullptr) return kErrBadArgument;
    std::lock_guard guard(lock_);
    return factories_.push_back(factory);
}

void LogManager::reset() {
    std::lock_guard guard(lock_);
    for (ILogSession* session : sessions_) {
        if (session == &group_all_) continue;
        auto* ours = static_cast<LogSession*>(session);
        ours->detach();
        retired_.push_back(ours);  // without room it is simply never freed
    }
    for (ILogOutput* output : outputs_) {
        if (auto* managed = dynamic_cast<ManagedOutputBase*>(output); managed != nullptr) {
            managed->destroy();
        } else {
            output->release();
        }
    }
    outputs_.clear();
    sessions_.clear();
    group_all_.reset();
    sessions_.push_back(&group_all_);
    generation_.fetch_add(1, std::memory_order_acq_rel);
}

namespace {
// Declared in this order so that the owner is destroyed first, while the
// lock and the pointer still exist.
std::mutex creation_lock;
std::atomic<LogManager*> instance{nullptr};
bool shut_down = false;

struct ManagerOwner {
    ~ManagerOwner() {
        std::lock_guard guard(creation_lock);
        delete instance.exchange(nullptr, std::memory_order_acq_rel);
        shut_down = true;
    }
} owner;
}  // namespace

LogManager* log_manager() {
    LogManager* manager = instance.load(std::memory_order_acquire);
    if (manager != nullptr) return manager;
    std::lock_guard guard(creation_lock);
    manager = instance.load(std::memory_order_relaxed);
    if (manager == nullptr && !shut_down) {
        manager = new (std::nothrow) LogManager();
        instance.store(manager, std::memory_order_release);
    }
    return manager;
}

}  // namespace tolv::log

extern "C" ILogManager* tolvcomm_log_manager(void) { return tolv::log::log_manager(); }
