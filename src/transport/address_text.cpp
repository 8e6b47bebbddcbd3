#include "transport/address_text.h"

#include <cstdio>
#include <cstring>

#include "tolvcomm/result_codes.h"

namespace tolv::address_text {
namespace {
constexpr std::size_t kIpxTextLength = 21;
constexpr std::size_t kMaxGroupText = 43;

int scan_ipx(const char* text, unsigned fields[10]) {
    return std::sscanf(text, "%2x%2x%2x%2x:%2x%2x%2x%2x%2x%2x", &fields[0], &fields[1], &fields[2], &fields[3],
                       &fields[4], &fields[5], &fields[6], &fields[7], &fields[8], &fields[9]);
}
}  // namespace

bool is_ipx(const char* text) {
    if (text == nullptr || std::strlen(text) != kIpxTextLength) return false;
    unsigned fields[10];
    return scan_ipx(text, fields) == 10;
}

void read_ipx(const char* text, std::uint8_t out[10]) {
    unsigned fields[10] = {};
    if (text != nullptr) scan_ipx(text, fields);
    for (int i = 0; i < 10; ++i) out[i] = static_cast<std::uint8_t>(fields[i]);
}

namespace {
// The common form: four groups of 1 to 3 digits, dots between, nothing after.
bool read_plain_quad(const char* text, std::uint8_t out[4]) {
    const char* p = text;
    for (int i = 0; i < 4; ++i) {
        unsigned value = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9' && digits < 4) value = value * 10 + static_cast<unsigned>(*p++ - '0'), ++digits;
        if (digits == 0 || digits > 3 || value >= 256) return false;
        out[i] = static_cast<std::uint8_t>(value);
        if (i < 3 && *p++ != '.') return false;
    }
    return *p == '\0';
}
}  // namespace

bool read_strict_ipv4(const char* text, std::uint8_t out[4]) {
    if (text == nullptr) return false;
    if (read_plain_quad(text, out)) return true;
    // Anything else the pattern accepts (blanks, signs, long zero runs).
    unsigned n[4];
    char trailing = 0;
    if (std::sscanf(text, "%u.%u.%u.%u%c", &n[0], &n[1], &n[2], &n[3], &trailing) != 4) return false;
    for (int i = 0; i < 4; ++i) {
        if (n[i] >= 256) return false;
        out[i] = static_cast<std::uint8_t>(n[i]);
    }
    return true;
}

std::int32_t read_ipv6_group(const char* text, std::uint8_t out[16]) {
    if (text == nullptr) return kErrBadArgument;
    char expanded[kMaxGroupText + 1];
    const char* gap = std::strstr(text, "::");
    if (gap == nullptr) {
        // Without "::" a longer text is cut to its first 43 characters.
        std::snprintf(expanded, sizeof expanded, "%.43s", text);
    } else {
        // "::" stands for as many zero groups as make eight in all.
        const std::size_t head_length = static_cast<std::size_t>(gap - text);
        const char* tail = gap + 2;
        int groups = 0;
        for (const char* p = text; p < gap; ++p) groups += *p == ':';
        if (head_length != 0) ++groups;
        for (const char* p = tail; *p != '\0'; ++p) groups += *p == ':';
        if (*tail != '\0') ++groups;
        const int missing = 8 - groups;
        if (missing < 1) return kErrBadArgument;
        char middle[2 * 8 + 1] = {};
        std::size_t m = 0;
        for (int i = 0; i < missing; ++i) {
            if (i > 0 || head_length != 0) middle[m++] = ':';
            middle[m++] = '0';
        }
        if (*tail != '\0') middle[m++] = ':';
        const int length = std::snprintf(expanded, sizeof expanded, "%.*s%s%s", static_cast<int>(head_length),
                                          text, middle, tail);
        if (length < 0 || static_cast<std::size_t>(length) > kMaxGroupText) return kErrBadArgument;
    }
    unsigned g[8];
    if (std::sscanf(expanded, "%x:%x:%x:%x:%x:%x:%x:%x", &g[0], &g[1], &g[2], &g[3], &g[4], &g[5], &g[6], &g[7]) !=
        8) {
        return kErrBadArgument;
    }
    for (int i = 0; i < 8; ++i) {
        out[2 * i] = static_cast<std::uint8_t>(g[i] >> 8);
        out[2 * i + 1] = static_cast<std::uint8_t>(g[i]);
    }
    return kOk;
}

}  // namespace tolv::address_text
