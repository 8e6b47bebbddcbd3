// Captures every log line of every session while it lives: the log
// manager is reset, the group "All" gets the full level mask and an output
// that keeps the lines in memory.
#pragma once

#include <string>
#include <vector>

#include "tolvcomm/log.h"

namespace tolv::testing {

class LogCapture final : public ILogOutput {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }
    // Whether some line contains the text.
    bool contains(const std::string& text) const;
    // How many lines contain the text.
    int count(const std::string& text) const;
    void clear() { lines_.clear(); }

    std::int32_t query_interface(const char* id, void** out) override;
    std::int32_t find_interface(const char* id, void** out) override { return query_interface(id, out); }
    std::int32_t reserved(void*, void*) override { return -5; }
    void release() override {}
    const char* get_kind() const override { return "capture"; }
    const char* get_name() const override { return "capture"; }
    std::int32_t write(const char* line) override;

private:
    std::vector<std::string> lines_;
};

}  // namespace tolv::testing
