// The group "All": a session-like entry that holds the template settings
// and outputs that every member session receives.
#pragma once

#include <mutex>

#include "common/ptr_array.h"
#include "log/log_session.h"

namespace tolv::log {

inline constexpr const char* kGroupAllName = "All";

class GroupAll final : public LogObject<ILogSession>, public ILogGroup {
public:
    void release() override {}
    const char* get_name() const override { return kGroupAllName; }
    std::int32_t add_output(ILogOutput* output) override;
    std::int32_t set_level_mask(std::uint32_t mask) override;
    std::uint32_t get_level_mask() const override;
    std::int32_t set_indent(std::uint32_t count) override;
    std::uint32_t get_indent() const override;
    std::int32_t set_header_fields(std::uint32_t fields) override;
    std::uint32_t get_header_fields() const override;
    std::int32_t set_number_base(std::int32_t base) override;
    std::int32_t get_number_base() const override;
    std::int32_t reserved_slot() override { return kErrSessionNotFound; }
    std::int32_t log(std::int32_t, const char*, ...) override { return kErrSessionNotFound; }
    std::int32_t log_va(std::int32_t, const char*, va_list) override { return kErrSessionNotFound; }

    std::int32_t add_member(ILogSession* session) override;
    ILogSession* remove_member(ILogSession* session) override;

    // Back to no members, no outputs and the default template.
    void reset();

protected:
    void* find_part(const char* id) override;

private:
    SessionTemplate template_;
    PtrArray<ILogOutput> outputs_;
    PtrArray<ILogSession> members_;
    mutable std::mutex lock_;
};

}  // namespace tolv::log
