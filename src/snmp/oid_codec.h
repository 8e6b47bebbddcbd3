// OBJECT IDENTIFIER content: dotted text to base-128 sub-identifiers and
// back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "snmp/ber_writer.h"

namespace tolv::ber {

// Writes the content of the OID text (two or more arcs) backwards.
// -2 for an OID of one arc; 0 otherwise (the writer reports overflow).
std::int32_t put_oid_content(Writer& writer, const char* text, std::size_t length);

// Reads OID content into dotted text. `out` must hold at least
// oid_text_room(length) characters; returns the text length (and the arc
// count in *arcs), or -1 when a sub-identifier runs past the content or
// overflows 32 bits.
long read_oid_content(const std::uint8_t* content, std::size_t length, char* out, std::uint32_t* arcs);

// A content byte yields at most 4 characters (".127"); one more for the
// terminator and one that may be written past it.
constexpr std::size_t oid_text_room(std::size_t content_length) { return 4 * content_length + 2; }

}  // namespace tolv::ber
