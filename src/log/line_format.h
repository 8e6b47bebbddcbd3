// Composes one log line: header fields, session name, level name, indent
// and message, cut at kMaxLineLength characters.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace tolv::log {

inline constexpr std::size_t kMaxLineLength = 1024;

struct LineHeader {
    std::uint32_t fields;  // log_header bits
    std::int32_t number_base;  // 10 or 16
    const char* session_name;
    const char* indent;
};

// The level name field ("Error, " ...) or "" for a level without a name.
const char* level_name(std::int32_t level);

// Writes the line into `line` (kMaxLineLength + 1 bytes); returns its length.
std::size_t format_line(char* line, const LineHeader& header, std::int32_t level, const char* format,
                        va_list args) __attribute__((format(printf, 4, 0)));

}  // namespace tolv::log
