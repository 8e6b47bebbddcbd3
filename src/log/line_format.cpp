#include "log/line_format.h"

#include <cstdio>
#include <cstring>

#include "platform/kernel.h"
#include "tolvcomm/log.h"

namespace tolv::log {
namespace {
// Appends printf output at `length`, never past the line's limit.
void put(char* line, std::size_t& length, const char* format, ...) __attribute__((format(printf, 3, 4)));

void put(char* line, std::size_t& length, const char* format, ...) {
    if (length >= kMaxLineLength) return;
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(line + length, kMaxLineLength + 1 - length, format, args);
    va_end(args);
    if (written > 0) length += static_cast<std::size_t>(written);
    if (length > kMaxLineLength) length = kMaxLineLength;
}

void put_id(char* line, std::size_t& length, bool shown, std::int32_t base, std::uint32_t id) {
    if (!shown) {
        put(line, length, ", %8s", "");
    } else if (base == 16) {
        put(line, length, ", %08X", id);
    } else {
        put(line, length, ", %8d", static_cast<int>(id));
    }
}
}  // namespace

const char* level_name(std::int32_t level) {
    switch (level) {
        case log_level::kError: return "Error, ";
        case log_level::kWarn: return "Warn , ";
        case log_level::kInfo: return "Info , ";
        case log_level::kDebug: return "Debug, ";
        case log_level::kTrace: return "Trace, ";
        case log_level::kAll: return "All  , ";
        default: return "";
    }
}

std::size_t format_line(char* line, const LineHeader& header, std::int32_t level, const char* format,
                        va_list args) {
    std::size_t length = 0;
    line[0] = '\0';
    if (header.fields & log_header::kTimeStamp) {
        const platform::LocalTime t = platform::local_time();
        put(line, length, "%04d/%02d/%02d %02d:%02d:%02d:%03d", t.year, t.month, t.day, t.hour, t.minute, t.second,
            t.millisecond);
    } else {
        put(line, length, "%23s", "");
    }
    put_id(line, length, header.fields & log_header::kProcessId, header.number_base, platform::process_id());
    put_id(line, length, header.fields & log_header::kThreadId, header.number_base, platform::thread_id());
    put(line, length, ", %-16.16s, %s%s", header.session_name, level_name(level), header.indent);
    if (format == nullptr) {
        put(line, length, "%s", "(client was about to output null message...)");
    } else if (length < kMaxLineLength) {
        const int written = std::vsnprintf(line + length, kMaxLineLength + 1 - length, format, args);
        if (written > 0) length += static_cast<std::size_t>(written);
        if (length > kMaxLineLength) length = kMaxLineLength;
    }
    return length;
}

}  // namespace tolv::log
