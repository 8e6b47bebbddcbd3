#include "log_capture.h"

#include <algorithm>

namespace tolv::testing {

LogCapture::LogCapture() {
    ILogManager* manager = tolvcomm_log_manager();
    manager->reset();
    ILogSession* all = manager->get_session("All", nullptr);
    all->set_level_mask(log_level::kAll);
    all->add_output(this);
}

LogCapture::~LogCapture() { tolvcomm_log_manager()->reset(); }

bool LogCapture::contains(const std::string& text) const { return count(text) > 0; }

int LogCapture::count(const std::string& text) const {
    return static_cast<int>(std::count_if(lines_.begin(), lines_.end(),
                                          [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

std::int32_t LogCapture::query_interface(const char*, void** out) {
    if (out != nullptr) *out = nullptr;
    return -4;
}

std::int32_t LogCapture::write(const char* line) {
    lines_.emplace_back(line);
    return 0;
}

}  // namespace tolv::testing
