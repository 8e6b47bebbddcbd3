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
// kMaxOidTextPerByte * length + 1 characters; returns the text length, or
// -1 when a sub-identifier runs past the content or overflows 32 bits.
inline constexpr std::size_t kMaxOidTextPerByte = 11;
long read_oid_content(const std::uint8_t* content, std::size_t length, char* out);

}  // namespace tolv::ber
