// A named log session: level mask, header fields, indentation, number base
// and the outputs its lines go to.
#pragma once

#include <atomic>
#include <mutex>

#include "common/ptr_array.h"
#include "common/text.h"
#include "log/log_object.h"

namespace tolv::log {

inline constexpr std::int32_t kDefaultNumberBase = 10;

// The settings a session receives from the group "All".
struct SessionTemplate {
    std::uint32_t level_mask = 0;
    std::uint32_t header_fields = log_header::kDefault;
    std::int32_t number_base = kDefaultNumberBase;
    std::uint32_t indent = 0;
};

// Adds the output unless one of the same output name is there already.
std::int32_t add_unique_output(PtrArray<ILogOutput>& outputs, ILogOutput* output);

class LogSession final : public LogObject<ILogSession> {
public:
    // Sessions belong to the manager; holders do not release them.
    void release() override {}
    std::int32_t set_name(const char* name) { return name_.set(name); }

    const char* get_name() const override { return name_.c_str(); }
    std::int32_t add_output(ILogOutput* output) override;
    std::int32_t set_level_mask(std::uint32_t mask) override;
    std::uint32_t get_level_mask() const override { return level_mask_.load(std::memory_order_relaxed); }
    std::int32_t set_indent(std::uint32_t count) override;
    std::uint32_t get_indent() const override;
    std::int32_t set_header_fields(std::uint32_t fields) override;
    std::uint32_t get_header_fields() const override;
    std::int32_t set_number_base(std::int32_t base) override;
    std::int32_t get_number_base() const override;
    std::int32_t reserved_slot() override { return kErrSessionNotFound; }
    std::int32_t log(std::int32_t level, const char* format, ...) override __attribute__((format(printf, 3, 4)));
    std::int32_t log_va(std::int32_t level, const char* format, va_list args) override
        __attribute__((format(printf, 3, 0)));

    // Takes the template's settings (as a new member of "All" does).
    std::int32_t apply(const SessionTemplate& settings);
    // Forgets every output and mutes the session (the manager's reset).
    void detach();
    void destroy() { delete this; }

protected:
    void* find_part(const char* id) override;

private:
    ~LogSession() = default;

    PtrArray<ILogOutput> outputs_;
    Text name_;
    std::atomic<std::uint32_t> level_mask_{0};
    std::uint32_t indent_ = 0;
    Text indent_text_;
    std::uint32_t header_fields_ = log_header::kDefault;
    std::int32_t number_base_ = kDefaultNumberBase;
    mutable std::mutex lock_;
};

}  // namespace tolv::log
