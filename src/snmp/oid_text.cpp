#include "snmp/oid_text.h"

#include <cstring>

#include "tolvcomm/value.h"

namespace tolv::oid_text {

std::uint32_t count_arcs(const char* text, std::size_t length) {
    if (length == 0) return 0;
    std::uint32_t dots = 0;
    for (std::size_t i = 0; i < length; ++i) dots += text[i] == '.';
    return dots + 1;
}

bool is_valid(const char* text, std::size_t length) {
    if (length == 0) return true;
    std::size_t arc_start = 0;
    for (std::size_t i = 0; i <= length; ++i) {
        if (i == length || text[i] == '.') {
            const std::size_t arc_length = i - arc_start;
            if (arc_length == 0) return false;                        // leading, trailing or double dot
            if (text[arc_start] == '0' && arc_length > 1) return false;  // 06
            arc_start = i + 1;
        } else if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

std::int32_t compare(const char* self, std::size_t self_length, const char* other, std::size_t other_length) {
    const std::size_t shorter = self_length < other_length ? self_length : other_length;
    for (std::size_t i = 0; i < shorter; ++i) {
        const auto mine = static_cast<signed char>(self[i]);
        const auto theirs = static_cast<signed char>(other[i]);
        if (mine != theirs) return mine < theirs ? pms_oid_relation::kBefore : pms_oid_relation::kAfter;
    }
    if (self_length == other_length) return pms_oid_relation::kEqual;
    if (self_length < other_length) {
        return other[self_length] == '.' ? pms_oid_relation::kOtherBelow : pms_oid_relation::kBefore;
    }
    return self[other_length] == '.' ? pms_oid_relation::kThisBelow : pms_oid_relation::kAfter;
}

std::size_t prefix_length(const char* text, std::size_t length, std::uint32_t arcs) {
    if (arcs == 0) return 0;
    std::uint32_t seen = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '.' && ++seen == arcs) return i;
    }
    return length;
}

std::size_t format_arc(std::uint32_t arc, char* out) {
    if (arc < 10) {
        out[0] = static_cast<char>('0' + arc);
        return 1;
    }
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::size_t digits = 2;
    for (std::uint64_t limit = 100; arc >= limit && digits < 10; limit *= 10) ++digits;
    char* p = out + digits;
    while (arc >= 100) {
        const std::uint32_t pair = (arc % 100) * 2;
        arc /= 100;
        *--p = kPairs[pair + 1];
        *--p = kPairs[pair];
    }
    if (arc >= 10) {
        *--p = kPairs[arc * 2 + 1];
        *--p = kPairs[arc * 2];
    } else {
        *--p = static_cast<char>('0' + arc);
    }
    return digits;
}

std::uint32_t read_arc(const char* text, std::size_t length) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') break;  // like strtoul: the number ends at the first non-digit
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<std::uint32_t>(value);
}

bool ArcCursor::next(std::uint32_t* arc) {
    if (position_ >= end_) return false;
    const char* dot = static_cast<const char*>(std::memchr(position_, '.', static_cast<std::size_t>(end_ - position_)));
    const char* arc_end = dot ? dot : end_;
    *arc = read_arc(position_, static_cast<std::size_t>(arc_end - position_));
    position_ = dot ? dot + 1 : end_;
    return true;
}

}  // namespace tolv::oid_text
