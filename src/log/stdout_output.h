// Output to the process's standard output, and the null outputs that stand
// in when an output cannot be had.
#pragma once

#include <mutex>

#include "common/text.h"
#include "log/log_object.h"

namespace tolv::log {

// The outputs the manager may keep. Once kept, they belong to the manager:
// release() by a holder does nothing and the manager destroys them.
class ManagedOutputBase {
public:
    void set_managed() { managed_ = true; }
    virtual void destroy() = 0;

protected:
    virtual ~ManagedOutputBase() = default;
    bool managed_ = false;
};

template <class Interface>
class ManagedOutput : public LogObject<Interface>, public ManagedOutputBase {
public:
    void release() override {
        if (!managed_) delete this;
    }
    void destroy() override { delete this; }
};

class StdoutOutput final : public ManagedOutput<ILogOutput> {
public:
    std::int32_t set_name(const char* name) { return name_.set(name); }
    const char* get_kind() const override { return "stdout"; }
    const char* get_name() const override { return name_.c_str(); }
    std::int32_t write(const char* line) override;

protected:
    void* find_part(const char* id) override;

private:
    Text name_;
    std::mutex lock_;
};

// The process-wide null outputs: they write nothing and ignore release.
ILogOutput* null_standard_output();
ILogFileOutput* null_file_output();

}  // namespace tolv::log
