// The log framework: a process-wide manager of named log sessions, each
// with a level mask, header fields, an indentation and a list of outputs.
//
// Nothing configures the framework by default, so no line reaches an
// output until a host sets a level mask and adds an output, for example:
//
//     ILogManager* manager = tolvcomm_log_manager();
//     std::int32_t result = 0;
//     ILogSession* all = manager->get_session("All", &result);
//     all->set_level_mask(log_level::kAll);
//     all->add_output(manager->get_output("stdout", "console"));
#pragma once

#include <cstdarg>
#include <cstdint>

#include "tolvcomm/export.h"

namespace log_level {
inline constexpr std::uint32_t kError = 1;
inline constexpr std::uint32_t kWarn = 2;
inline constexpr std::uint32_t kInfo = 4;
inline constexpr std::uint32_t kDebug = 8;
inline constexpr std::uint32_t kTrace = 16;
inline constexpr std::uint32_t kAll = 31;
}  // namespace log_level

namespace log_header {
inline constexpr std::uint32_t kTimeStamp = 1;
inline constexpr std::uint32_t kProcessId = 2;
inline constexpr std::uint32_t kThreadId = 4;
inline constexpr std::uint32_t kDefault = 7;
}  // namespace log_header

// Interface identifiers answered by query_interface.
namespace log_iid {
inline constexpr const char* kBase = "6e1c3b57-24d9-4f8a-b0e2-91c7a4d5f360";
inline constexpr const char* kOutput = "47d09e30-5b3f-11d0-9a7c-0040c7b2e915";
inline constexpr const char* kFileOutput = "8c2e4a10-5b3f-11d0-9a7c-0040c7b2e915";
inline constexpr const char* kSession = "72c4e1b0-4e21-11d0-9a61-0040c7b2e915";
inline constexpr const char* kSessionImpl = "05e7d6a0-4e21-11d0-9a61-0040c7b2e915";
inline constexpr const char* kGroup = "b93a2f70-4e21-11d0-9a61-0040c7b2e915";
inline constexpr const char* kGroupAll = "e3b85c40-4e29-11d0-9a61-0040c7b2e915";
}  // namespace log_iid

// The four operations every framework object starts with.
class ILogObject {
public:
    virtual std::int32_t query_interface(const char* id, void** out) = 0;
    // The same lookup again (a second slot of the binary interface).
    virtual std::int32_t find_interface(const char* id, void** out) = 0;
    // A slot that no object supports: always -5.
    virtual std::int32_t reserved(void* first, void* second) = 0;
    virtual void release() = 0;

protected:
    ~ILogObject() = default;
};

class ILogOutput : public ILogObject {
public:
    virtual const char* get_kind() const = 0;
    virtual const char* get_name() const = 0;
    virtual std::int32_t write(const char* line) = 0;

protected:
    ~ILogOutput() = default;
};

class ILogFileOutput : public ILogOutput {
public:
    virtual std::int32_t set_max_file_size(std::uint32_t bytes) = 0;
    virtual std::int32_t set_path(const char* path) = 0;

protected:
    ~ILogFileOutput() = default;
};

class ILogSession : public ILogObject {
public:
    virtual const char* get_name() const = 0;
    virtual std::int32_t add_output(ILogOutput* output) = 0;
    virtual std::int32_t set_level_mask(std::uint32_t mask) = 0;
    virtual std::uint32_t get_level_mask() const = 0;
    virtual std::int32_t set_indent(std::uint32_t count) = 0;
    virtual std::uint32_t get_indent() const = 0;
    virtual std::int32_t set_header_fields(std::uint32_t fields) = 0;
    virtual std::uint32_t get_header_fields() const = 0;
    virtual std::int32_t set_number_base(std::int32_t base) = 0;
    virtual std::int32_t get_number_base() const = 0;
    // A slot without an operation: always -6.
    virtual std::int32_t reserved_slot() = 0;
    virtual std::int32_t log(std::int32_t level, const char* format, ...)
        __attribute__((format(printf, 3, 4))) = 0;
    virtual std::int32_t log_va(std::int32_t level, const char* format, va_list args)
        __attribute__((format(printf, 3, 0))) = 0;

protected:
    ~ILogSession() = default;
};

// A group of sessions (the group "All"): members receive its settings.
class ILogGroup {
public:
    virtual std::int32_t add_member(ILogSession* session) = 0;
    virtual ILogSession* remove_member(ILogSession* session) = 0;

protected:
    ~ILogGroup() = default;
};

// Key/value lookup handed to an output factory ("ExtentionName": the path
// of a file output).
class ILogProperties {
public:
    virtual const char* find(const char* key) const = 0;

protected:
    ~ILogProperties() = default;
};

class ILogOutputFactory {
public:
    virtual ILogOutput* create(const char* output_name, const ILogProperties* properties) = 0;
    virtual const char* get_kind() const = 0;
    // Added after the fixed slots: the manager releases its factories.
    virtual void release() = 0;

protected:
    ~ILogOutputFactory() = default;
};

class ILogManager {
public:
    virtual ILogSession* get_session(const char* name, ILogOutput* output, std::int32_t* result) = 0;
    virtual ILogGroup* find_group(const char* name, std::int32_t* result) = 0;
    virtual ILogSession* get_session(const char* name, std::int32_t* result) = 0;
    // The same as find_group (a second slot of the binary interface).
    virtual ILogGroup* lookup_group(const char* name, std::int32_t* result) = 0;
    // Outputs made here are kept by the manager: holders do not release them.
    virtual ILogOutput* get_output(const char* kind, const char* output_name) = 0;
    virtual ILogOutput* find_output(const char* output_name, std::int32_t* result) = 0;
    // The manager keeps the factory and releases it when the manager ends.
    virtual std::int32_t register_factory(ILogOutputFactory* factory) = 0;
    virtual void reset() = 0;

protected:
    ~ILogManager() = default;
};

// The process's log manager, through which a host configures logging.
extern "C" TOLV_API ILogManager* tolvcomm_log_manager(void);
