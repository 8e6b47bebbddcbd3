// IPmcByteString: an owned byte string with a length and a NUL-terminated
// copy. Used for every text and byte result of the library.
#pragma once

#include <cstdint>

class IPmcByteString {
public:
    virtual void release() = 0;
    virtual std::uint32_t get_length() const = 0;
    // The bytes followed by one NUL; null when the length is 0.
    virtual const char* get_data() const = 0;
    virtual std::int32_t set(const void* data, std::uint32_t length) = 0;
    virtual std::int32_t set(const char* text) = 0;
    virtual std::int32_t append(const void* data, std::uint32_t length) = 0;
    virtual std::int32_t append(const char* text) = 0;
    virtual std::int32_t append(const IPmcByteString* other) = 0;
    virtual std::int32_t clone(IPmcByteString** out) const = 0;
    virtual bool equals(const void* data, std::uint32_t length) const = 0;
    virtual bool equals(const char* text) const = 0;
    virtual bool equals(const IPmcByteString* other) const = 0;

protected:
    ~IPmcByteString() = default;
};
