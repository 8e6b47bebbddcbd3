#include "log/null_session.h"

#include "log/log_object.h"

namespace tolv::log {
namespace {
class NullSession final : public LogObject<ILogSession>, public ILogGroup {
public:
    void release() override {}
    const char* get_name() const override { return "null_session"; }
    std::int32_t add_output(ILogOutput*) override { return kOk; }
    std::int32_t set_level_mask(std::uint32_t) override { return kOk; }
    std::uint32_t get_level_mask() const override { return 0; }
    std::int32_t set_indent(std::uint32_t) override { return kOk; }
    std::uint32_t get_indent() const override { return 0; }
    std::int32_t set_header_fields(std::uint32_t) override { return kOk; }
    std::uint32_t get_header_fields() const override { return 0; }
    std::int32_t set_number_base(std::int32_t) override { return kOk; }
    std::int32_t get_number_base() const override { return 10; }
    std::int32_t reserved_slot() override { return kOk; }
    std::int32_t log(std::int32_t, const char*, ...) override { return kOk; }
    std::int32_t log_va(std::int32_t, const char*, va_list) override { return kOk; }
    std::int32_t add_member(ILogSession*) override { return kOk; }
    ILogSession* remove_member(ILogSession*) override { return nullptr; }

protected:
    void* find_part(const char* id) override {
        if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kSession)) return static_cast<ILogSession*>(this);
        if (same_id(id, log_iid::kGroup)) return static_cast<ILogGroup*>(this);
        return nullptr;
    }
};

NullSession& instance() {
    static NullSession session;
    return session;
}
}  // namespace

ILogSession* null_session() { return &instance(); }
ILogGroup* null_group() { return &instance(); }

}  // namespace tolv::log
