#include "snmp/oid_codec.h"

#include "common/allocation.h"
#include "snmp/oid_text.h"
#include "tolvcomm/result_codes.h"

namespace tolv::ber {

std::int32_t put_oid_content(Writer& writer, const char* text, std::size_t length) {
    // The arcs are read forwards and written backwards; typical OIDs fit
    // the local array.
    constexpr std::size_t kLocalArcs = 64;
    std::uint32_t local[kLocalArcs];
    const std::uint32_t count = oid_text::count_arcs(text, length);
    if (count == 1) return kErrBadArgument;
    if (count == 0) return kOk;
    std::uint32_t* arcs = count <= kLocalArcs ? local : static_cast<std::uint32_t*>(allocate(count * sizeof *arcs));
    if (arcs == nullptr) return kErrNoMemory;
    oid_text::ArcCursor cursor(text, length);
    std::uint32_t n = 0;
    while (n < count && cursor.next(&arcs[n])) ++n;
    for (std::uint32_t i = n; i-- > 2;) writer.put_subidentifier(arcs[i]);
    writer.put_subidentifier(std::uint64_t{arcs[0]} * 40 + (n > 1 ? arcs[1] : 0));
    if (arcs != local) deallocate(arcs);
    return kOk;
}

long read_oid_content(const std::uint8_t* content, std::size_t length, char* out) {
    char* text = out;
    std::size_t index = 0;
    bool first = true;
    while (index < length) {
        std::uint64_t value = 0;
        std::uint8_t byte = 0;
        do {
            if (index >= length) return -1;  // the last byte still had its high bit
            byte = content[index++];
            value = (value << 7) | (byte & 0x7F);
            if (value > 0xFFFFFFFFull + 80) return -1;  // beyond a 32-bit arc
        } while (byte & 0x80);
        if (first) {
            const std::uint32_t arc0 = value < 40 ? 0 : value < 80 ? 1 : 2;
            const std::uint64_t arc1 = value - 40ull * arc0;
            if (arc1 > 0xFFFFFFFFull) return -1;
            text += oid_text::format_arc(arc0, text);
            *text++ = '.';
            text += oid_text::format_arc(static_cast<std::uint32_t>(arc1), text);
            first = false;
        } else {
            if (value > 0xFFFFFFFFull) return -1;
            *text++ = '.';
            text += oid_text::format_arc(static_cast<std::uint32_t>(value), text);
        }
    }
    *text = '\0';
    return text - out;
}

}  // namespace tolv::ber
