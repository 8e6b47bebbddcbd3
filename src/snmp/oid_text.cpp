#include "snmp/oid_text.h"

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
    char reversed[10];
    std::size_t n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + arc % 10);
        arc /= 10;
    } while (arc != 0);
    for (std::size_t i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    return n;
}

bool ArcCursor::next(std::uint32_t* arc) {
    if (position_ >= end_) return false;
    std::uint64_t value = 0;
    bool in_digits = true;  // like strtoul: the number ends at the first non-digit
    while (position_ < end_ && *position_ != '.') {
        const char c = *position_++;
        if (c < '0' || c > '9') in_digits = false;
        if (in_digits && value <= UINT32_MAX) value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (position_ < end_) ++position_;  // the dot
    *arc = value > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace tolv::oid_text
