// Reads BER elements through one bounds-checked cursor: nothing is read
// past the end, and once a read has failed every later read fails too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tolvcomm/result_codes.h"

namespace tolv::ber {

class Reader {
public:
    Reader(const std::uint8_t* begin, const std::uint8_t* end) : start_(begin), position_(begin), end_(end) {}

    const std::uint8_t* position() const { return position_; }
    const std::uint8_t* end() const { return end_; }
    std::size_t consumed() const { return static_cast<std::size_t>(position_ - start_); }
    std::size_t remaining() const { return static_cast<std::size_t>(end_ - position_); }
    bool at_end() const { return position_ >= end_; }
    void set_end(const std::uint8_t* end) { end_ = end; }

    std::int32_t read_byte(std::uint8_t* out) {
        if (failed_ || position_ >= end_) return fail();
        *out = *position_++;
        return kOk;
    }

    std::int32_t peek_byte(std::uint8_t* out) const {
        if (failed_ || position_ >= end_) return kErrDecode;
        *out = *position_;
        return kOk;
    }

    // A definite length; the indefinite form (0x80) is refused. Longer
    // length fields keep their low 32 bits.
    std::int32_t read_length(std::size_t* out) {
        std::uint8_t first = 0;
        if (read_byte(&first) != kOk) return kErrDecode;
        if (first < 0x80) {
            *out = first;
            return kOk;
        }
        const int count = first & 0x7F;
        if (count == 0) return fail();
        std::uint32_t length = 0;
        for (int i = 0; i < count; ++i) {
            std::uint8_t byte = 0;
            if (read_byte(&byte) != kOk) return kErrDecode;
            length = (length << 8) | byte;
        }
        *out = length;
        return kOk;
    }

    // The tag must be `tag`; the content must lie within the reader.
    std::int32_t read_header(std::uint8_t tag, std::size_t* length) {
        std::uint8_t found = 0;
        if (read_byte(&found) != kOk || found != tag) return fail();
        if (read_length(length) != kOk || *length > remaining()) return fail();
        return kOk;
    }

    // The next `count` bytes (already checked to be there by read_header).
    const std::uint8_t* take(std::size_t count) {
        if (failed_ || count > remaining()) return fail(), nullptr;
        const std::uint8_t* bytes = position_;
        position_ += count;
        return bytes;
    }

private:
    std::int32_t fail() {
        failed_ = true;
        return kErrDecode;
    }

    const std::uint8_t* start_;
    const std::uint8_t* position_;
    const std::uint8_t* end_;
    bool failed_ = false;
};

}  // namespace tolv::ber
