#include "snmp/index_form.h"

#include "tolvcomm/result_codes.h"

namespace tolv {
namespace {
oid_text::ArcCursor cursor_of(const IPmsOid* oid) {
    std::uint32_t length = 0;
    const auto* text = reinterpret_cast<const char*>(oid->as_value()->get_bytes(&length, nullptr));
    return oid_text::ArcCursor(text, text ? length : 0);
}
}  // namespace

IndexArcs::IndexArcs(const IPmsOid* oid) : cursor_(cursor_of(oid)), total_(oid->as_value()->get_count()) {}

std::int32_t IndexArcs::read(std::uint32_t* arc) {
    if (total_ == 0) return kErrEmpty;
    if (consumed_ >= total_ || !cursor_.next(arc)) return kErrNotFound;
    ++consumed_;
    return kOk;
}

std::int32_t append_byte_index(IPmsOid* oid, const std::uint8_t* bytes, std::uint32_t length, bool implied) {
    if (!implied) {
        if (const std::int32_t code = oid->append(length); code != kOk) return code;
    }
    for (std::uint32_t i = 0; i < length; ++i) {
        if (const std::int32_t code = oid->append(static_cast<std::uint32_t>(bytes[i])); code != kOk) return code;
    }
    return kOk;
}

std::int32_t read_byte_arcs(IndexArcs& arcs, std::uint8_t* out, std::uint32_t length) {
    for (std::uint32_t i = 0; i < length; ++i) {
        std::uint32_t arc = 0;
        if (const std::int32_t code = arcs.read(&arc); code != kOk) return code;
        if (arc > 255) return kErrIndexType;
        out[i] = static_cast<std::uint8_t>(arc);
    }
    return kOk;
}

}  // namespace tolv
