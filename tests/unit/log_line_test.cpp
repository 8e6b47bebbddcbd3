#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstring>
#include <regex>
#include <string>

#include "log/line_format.h"
#include "platform/kernel.h"
#include "tolvcomm/log.h"

using namespace tolv::log;

namespace {
std::string format(const LineHeader& header, std::int32_t level, const char* format_text, ...)
    __attribute__((format(printf, 3, 4)));

std::string format(const LineHeader& header, std::int32_t level, const char* format_text, ...) {
    char line[kMaxLineLength + 1];
    va_list args;
    va_start(args, format_text);
    const std::size_t length = format_line(line, header, level, format_text, args);
    va_end(args);
    EXPECT_EQ(length, std::strlen(line));
    return line;
}

std::string pid_field(const char* pattern) {
    char text[16];
    std::snprintf(text, sizeof text, pattern, tolv::platform::process_id());
    return text;
}
}  // namespace

TEST(LogLine, DefaultHeaderFields) {
    const LineHeader header{log_header::kDefault, 10, "snmp", ""};
    const std::string line = format(header, log_level::kDebug, "value %d", 42);
    // 2024/05/06 07:08:09:010,     1234,      567, snmp            , Debug, value 42
    const std::regex shape(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d:\d{3}, [ \d]{8}, [ \d]{8}, snmp {12}, Debug, value 42)");
    EXPECT_TRUE(std::regex_match(line, shape)) << line;
    EXPECT_NE(line.find(", " + pid_field("%8d") + ","), std::string::npos) << line;
}

TEST(LogLine, FieldsLeftOutKeepTheirWidth) {
    const LineHeader header{0, 10, "a-very-long-session-name", "    "};
    const std::string line = format(header, 3, "x");
    EXPECT_EQ(line, std::string(23, ' ') + ", " + std::string(8, ' ') + ", " + std::string(8, ' ') +
                        ", a-very-long-sess, " + "    x");
}

TEST(LogLine, HexadecimalIds) {
    const LineHeader header{log_header::kProcessId, 16, "s", ""};
    const std::string line = format(header, log_level::kError, "e");
    EXPECT_EQ(line.substr(23), ", " + pid_field("%08X") + ", " + std::string(8, ' ') +
                                   ", s               , Error, e");
}

TEST(LogLine, LevelNames) {
    const struct {
        std::int32_t level;
        const char* name;
    } cases[] = {{1, "Error, "}, {2, "Warn , "}, {4, "Info , "}, {8, "Debug, "},
                 {16, "Trace, "}, {31, "All  , "}, {3, ""}, {0, ""}, {32, ""}};
    for (const auto& c : cases) EXPECT_STREQ(level_name(c.level), c.name) << c.level;
}

TEST(LogLine, LongMessagesAreCutAt1024Characters) {
    const LineHeader header{log_header::kDefault, 10, "snmp", ""};
    const std::string message(3000, 'm');
    const std::string line = format(header, log_level::kInfo, "%s", message.c_str());
    EXPECT_EQ(line.size(), kMaxLineLength);
    EXPECT_EQ(line.back(), 'm');
}

TEST(LogLine, NullFormat) {
    const LineHeader header{0, 10, "s", ""};
    const std::string line = format(header, log_level::kInfo, nullptr);
    EXPECT_THAT(line, ::testing::EndsWith("Info , (client was about to output null message...)"));
}
