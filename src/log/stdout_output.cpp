#include "log/stdout_output.h"

#include <cstdio>

namespace tolv::log {
namespace {
template <class Interface>
class NullOutput final : public LogObject<Interface> {
public:
    explicit NullOutput(const char* kind) : kind_(kind) {}
    void release() override {}
    const char* get_kind() const override { return kind_; }
    const char* get_name() const override { return kind_; }
    std::int32_t write(const char*) override { return kOk; }

protected:
    void* find_part(const char* id) override {
        if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kOutput)) return static_cast<ILogOutput*>(this);
        return nullptr;
    }

private:
    const char* kind_;
};

class NullFileOutput final : public LogObject<ILogFileOutput> {
public:
    void release() override {}
    const char* get_kind() const override { return "null_file"; }
    const char* get_name() const override { return "null_file"; }
    std::int32_t write(const char*) override { return kOk; }
    std::int32_t set_max_file_size(std::uint32_t) override { return kOk; }
    std::int32_t set_path(const char*) override { return kOk; }

protected:
    void* find_part(const char* id) override {
        if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kOutput)) return static_cast<ILogOutput*>(this);
        if (same_id(id, log_iid::kFileOutput)) return static_cast<ILogFileOutput*>(this);
        return nullptr;
    }
};
}  // namespace

ILogOutput* null_standard_output() {
    static NullOutput<ILogOutput> output("null_standard");
    return &output;
}

ILogFileOutput* null_file_output() {
    static NullFileOutput output;
    return &output;
}

std::int32_t StdoutOutput::write(const char* line) {
    std::lock_guard guard(lock_);
    std::fputs(line ? line : "", stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return kOk;
}

void* StdoutOutput::find_part(const char* id) {
    if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kOutput)) return static_cast<ILogOutput*>(this);
    return nullptr;
}

}  // namespace tolv::log
