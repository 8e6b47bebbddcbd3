// Operations on OID dotted text ("1.3.6.1"), shared by the OID value and the
// index forms. Arcs are unsigned 32-bit numbers; a longer run of digits reads
// as 0xFFFFFFFF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolv::oid_text {

// Arc count of a dotted text: 0 for the empty text, else dots + 1.
std::uint32_t count_arcs(const char* text, std::size_t length);

// One or more arcs of decimal digits separated by single dots; an arc that
// begins with 0 is exactly "0". The empty text is valid too.
bool is_valid(const char* text, std::size_t length);

// Relation of `self` to `other` (pms_oid_relation codes), compared textually.
std::int32_t compare(const char* self, std::size_t self_length, const char* other, std::size_t other_length);

// Byte length of the first `arcs` arcs (without the dot that follows them);
// the whole length when the text has no more arcs than that.
std::size_t prefix_length(const char* text, std::size_t length, std::uint32_t arcs);

// Writes the arc in decimal into `out` (at least 10 bytes); returns its length.
std::size_t format_arc(std::uint32_t arc, char* out);

// The arc whose text starts at `text` (up to `length` characters): the
// leading digits, as strtoul reads them, saturating at 0xFFFFFFFF.
std::uint32_t read_arc(const char* text, std::size_t length);

// Reads the arcs of a dotted text one after the other.
class ArcCursor {
public:
    ArcCursor(const char* text, std::size_t length) : text_(text), end_(text + length), position_(text) {}
    bool at_end() const { return position_ >= end_; }
    // The next arc; false at the end.
    bool next(std::uint32_t* arc);
    // Where the unread rest begins (after the dot that ends the last arc read).
    std::size_t offset() const { return static_cast<std::size_t>(position_ - text_); }

private:
    const char* text_;
    const char* end_;
    const char* position_;
};

}  // namespace tolv::oid_text
