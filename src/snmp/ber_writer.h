// Writes BER elements backwards, from the end of a buffer toward its start,
// so that every length is known when its header is written and nothing is
// moved afterwards. Running out of room sets a flag that stays set; the
// message is then refused as a whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tolv::ber {

class Writer {
public:
    Writer(std::uint8_t* data, std::size_t size) : begin_(data), position_(data + size) {}

    bool overflow() const { return overflow_; }
    std::uint8_t* position() const { return position_; }
    // A mark to measure what was written since: written_since(mark()).
    const std::uint8_t* mark() const { return position_; }
    std::size_t written_since(const std::uint8_t* mark) const { return static_cast<std::size_t>(mark - position_); }

    void put_byte(std::uint8_t byte) {
        if (overflow_ || position_ == begin_) {
            overflow_ = true;
            return;
        }
        *--position_ = byte;
    }

    void put_bytes(const void* bytes, std::size_t count) {
        if (overflow_ || static_cast<std::size_t>(position_ - begin_) < count) {
            overflow_ = true;
            return;
        }
        position_ -= count;
        if (count != 0) std::memcpy(position_, bytes, count);
    }

    // Definite length: below 128 in one byte, else 0x80 + byte count and the
    // fewest big-endian bytes.
    void put_length(std::size_t length) {
        if (length < 0x80) {
            put_byte(static_cast<std::uint8_t>(length));
            return;
        }
        std::uint8_t count = 0;
        while (length != 0) {
            put_byte(static_cast<std::uint8_t>(length));
            length >>= 8;
            ++count;
        }
        put_byte(static_cast<std::uint8_t>(0x80 | count));
    }

    // Tag and length of content already written since `mark`.
    void close(std::uint8_t tag, const std::uint8_t* mark) {
        put_length(written_since(mark));
        put_byte(tag);
    }

    // Fewest two's-complement bytes of a signed 32-bit value.
    void put_integer(std::uint8_t tag, std::int32_t value) {
        std::uint8_t bytes[4];
        auto bits = static_cast<std::uint32_t>(value);
        for (int i = 3; i >= 0; --i, bits >>= 8) bytes[i] = static_cast<std::uint8_t>(bits);
        int first = 0;  // drop leading bytes that only repeat the sign
        while (first < 3 && ((bytes[first] == 0x00 && !(bytes[first + 1] & 0x80)) ||
                             (bytes[first] == 0xFF && (bytes[first + 1] & 0x80)))) {
            ++first;
        }
        put_bytes(bytes + first, static_cast<std::size_t>(4 - first));
        put_length(static_cast<std::size_t>(4 - first));
        put_byte(tag);
    }

    // Fewest bytes of an unsigned value with room for a clear sign bit.
    void put_unsigned(std::uint8_t tag, std::uint64_t value) {
        const std::uint8_t* start = mark();
        put_unsigned_content(value);
        close(tag, start);
    }

    void put_unsigned_content(std::uint64_t value) {
        std::uint8_t bytes[9];
        std::size_t count = 0;
        do {
            bytes[8 - count++] = static_cast<std::uint8_t>(value);
            value >>= 8;
        } while (value != 0);
        if (bytes[9 - count] & 0x80) bytes[8 - count++] = 0;
        put_bytes(bytes + 9 - count, count);
    }

    // One base-128 sub-identifier (high bit set on all but its last byte).
    void put_subidentifier(std::uint64_t value) {
        if (value < 0x80 && position_ != begin_ && !overflow_) {  // most arcs: one byte
            *--position_ = static_cast<std::uint8_t>(value);
            return;
        }
        std::size_t count = 1;
        for (std::uint64_t rest = value >> 7; rest != 0; rest >>= 7) ++count;
        if (overflow_ || static_cast<std::size_t>(position_ - begin_) < count) {
            overflow_ = true;
            return;
        }
        *--position_ = static_cast<std::uint8_t>(value & 0x7F);
        for (value >>= 7; value != 0; value >>= 7) *--position_ = static_cast<std::uint8_t>(0x80 | (value & 0x7F));
    }

private:
    std::uint8_t* begin_;
    std::uint8_t* position_;
    bool overflow_ = false;
};

}  // namespace tolv::ber
