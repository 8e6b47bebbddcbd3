#include "snmp/oid_codec.h"

#include <cstring>

#include "common/allocation.h"
#include "snmp/oid_text.h"
#include "tolvcomm/result_codes.h"

namespace tolv::ber {

namespace {
constexpr std::size_t kLocalArcs = 128;

// Reads the arcs of a dotted text forwards into `arcs` (at most `capacity`):
// each arc is its leading digits, as strtoul reads them, saturating at
// 0xFFFFFFFF. Returns how many there are (more than capacity: not all kept).
std::size_t read_arcs(const char* text, std::size_t length, std::uint32_t* arcs, std::size_t capacity) {
    const char* p = text;
    const char* end = text + length;
    std::size_t count = 0;
    for (;;) {
        const char* digits = p;
        std::uint64_t value = 0;
        while (p < end && static_cast<unsigned>(*p - '0') <= 9) value = value * 10 + static_cast<unsigned>(*p++ - '0');
        // Nine digits always fit; a longer run is read again with saturation.
        std::uint32_t arc = p - digits <= 9 ? static_cast<std::uint32_t>(value)
                                            : oid_text::read_arc(digits, static_cast<std::size_t>(p - digits));
        while (p < end && *p != '.') ++p;  // what follows a non-digit does not count
        if (count < capacity) arcs[count] = arc;
        ++count;
        if (p >= end) return count;
        ++p;  // the dot
    }
}
}  // namespace

std::int32_t put_oid_content(Writer& writer, const char* text, std::size_t length) {
    if (length == 0) return kOk;
    std::uint32_t local[kLocalArcs];
    std::uint32_t* arcs = local;
    std::size_t count = read_arcs(text, length, local, kLocalArcs);
    if (count > kLocalArcs) {  // a very long OID: read it again into room of its own
        arcs = static_cast<std::uint32_t*>(allocate(count * sizeof *arcs));
        if (arcs == nullptr) return kErrNoMemory;
        read_arcs(text, length, arcs, count);
    }
    if (count == 1) return kErrBadArgument;
    // Last arc first, as the writer goes backwards; the first two share one.
    for (std::size_t i = count; i-- > 2;) writer.put_subidentifier(arcs[i]);
    writer.put_subidentifier(std::uint64_t{arcs[0]} * 40 + arcs[1]);
    if (arcs != local) deallocate(arcs);
    return kOk;
}

namespace {
struct SmallArc {
    char digits[2];
    std::uint8_t length;
};

constexpr auto make_small_arcs() {
    struct Table {
        SmallArc arcs[100];
    } table{};
    for (int v = 0; v < 100; ++v) {
        table.arcs[v] = v < 10 ? SmallArc{{static_cast<char>('0' + v), 0}, 1}
                               : SmallArc{{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)}, 2};
    }
    return table;
}
constexpr auto kSmallArcTable = make_small_arcs();
constexpr const SmallArc* kSmallArcs = kSmallArcTable.arcs;
}  // namespace

long read_oid_content(const std::uint8_t* content, std::size_t length, char* out, std::uint32_t* arcs) {
    char* text = out;
    std::size_t index = 0;
    std::uint32_t count = 0;
    bool first = true;
    while (index < length) {
        std::uint8_t byte = content[index++];
        std::uint64_t value = byte;
        if (byte & 0x80) {  // a value of several bytes
            value &= 0x7F;
            do {
                if (index >= length) return -1;  // the last byte still had its high bit
                byte = content[index++];
                value = (value << 7) | (byte & 0x7F);
                if (value > 0xFFFFFFFFull + 80) return -1;  // beyond a 32-bit arc
            } while (byte & 0x80);
        }
        if (first) {  // the first value holds two arcs
            first = false;
            const std::uint32_t arc0 = value < 40 ? 0 : value < 80 ? 1 : 2;
            const std::uint64_t arc1 = value - 40ull * arc0;
            if (arc1 > 0xFFFFFFFFull) return -1;
            *text++ = static_cast<char>('0' + arc0);
            *text++ = '.';
            text += oid_text::format_arc(static_cast<std::uint32_t>(arc1), text);
            count = 2;
            continue;
        }
        if (value > 0xFFFFFFFFull) return -1;
        *text++ = '.';
        if (value < 100) {  // most arcs: one or two digits, written without a branch on which
            std::memcpy(text, kSmallArcs[value].digits, 2);
            text += kSmallArcs[value].length;
        } else {
            text += oid_text::format_arc(static_cast<std::uint32_t>(value), text);
        }
        ++count;
    }
    *text = '\0';
    if (arcs != nullptr) *arcs = count;
    return text - out;
}

}  // namespace tolv::ber
