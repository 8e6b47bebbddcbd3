// A log file with a size limit and one backup generation (path + ".bak").
#pragma once

#include <cstdio>
#include <mutex>

#include "common/text.h"
#include "log/stdout_output.h"

namespace tolv::log {

inline constexpr std::uint32_t kDefaultMaxFileSize = 4194304;

class FileOutput final : public ManagedOutput<ILogFileOutput> {
public:
    ~FileOutput() override;
    std::int32_t set_name(const char* name) { return name_.set(name); }
    const char* get_kind() const override { return "file"; }
    const char* get_name() const override { return name_.c_str(); }
    std::int32_t write(const char* line) override;
    std::int32_t set_max_file_size(std::uint32_t bytes) override;
    std::int32_t set_path(const char* path) override;

protected:
    void* find_part(const char* id) override;

private:
    // Moves the full file to the backup and starts a new one.
    std::int32_t rotate();

    Text name_;
    Text path_;
    std::FILE* file_ = nullptr;
    std::uint32_t max_size_ = kDefaultMaxFileSize;
    std::uint64_t current_size_ = 0;
    std::mutex lock_;
};

}  // namespace tolv::log
