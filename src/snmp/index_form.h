// Helpers for the index forms of values: the arcs a value occupies when it
// is part of a table row's OID.
#pragma once

#include <cstdint>

#include "snmp/oid_text.h"
#include "tolvcomm/value.h"

namespace tolv {

// Reads the leading arcs of an index OID one by one. Reading from an OID
// without arcs gives -8, reading past its last arc -7.
class IndexArcs {
public:
    explicit IndexArcs(const IPmsOid* oid);
    std::int32_t read(std::uint32_t* arc);
    std::uint32_t remaining() const { return total_ - consumed_; }

private:
    oid_text::ArcCursor cursor_;
    std::uint32_t total_;
    std::uint32_t consumed_ = 0;
};

// Appends `length` (unless implied) and then one arc per byte.
std::int32_t append_byte_index(IPmsOid* oid, const std::uint8_t* bytes, std::uint32_t length, bool implied);

// Reads `length` byte arcs (each at most 255, else -401) into `out`.
std::int32_t read_byte_arcs(IndexArcs& arcs, std::uint8_t* out, std::uint32_t length);

}  // namespace tolv
