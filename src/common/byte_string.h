// CPmcByteString: the library's IPmcByteString.
#pragma once

#include <cstdint>

#include "common/allocation.h"
#include "tolvcomm/byte_string.h"

class CPmcByteString final : public IPmcByteString, public tolv::PooledObject {
public:
    CPmcByteString() = default;
    CPmcByteString(const CPmcByteString&) = delete;
    CPmcByteString& operator=(const CPmcByteString&) = delete;

    void release() override;
    std::uint32_t get_length() const override { return length_; }
    const char* get_data() const override { return data_; }
    std::int32_t set(const void* data, std::uint32_t length) override;
    std::int32_t set(const char* text) override;
    std::int32_t append(const void* data, std::uint32_t length) override;
    std::int32_t append(const char* text) override;
    std::int32_t append(const IPmcByteString* other) override;
    std::int32_t clone(IPmcByteString** out) const override;
    bool equals(const void* data, std::uint32_t length) const override;
    bool equals(const char* text) const override;
    bool equals(const IPmcByteString* other) const override;

private:
    ~CPmcByteString();
    // Short texts (addresses, names) keep their bytes inline.
    static constexpr std::uint32_t kInline = 40;
    char* storage_for(std::uint32_t length);
    void free_storage();
    char inline_[kInline];
    char* data_ = nullptr;
    std::uint32_t length_ = 0;
};

// A new empty byte string; null with -3 when it cannot be allocated.
IPmcByteString* pmc_create_byte_string(std::int32_t* result);
// A new byte string holding a copy of the bytes.
IPmcByteString* pmc_create_byte_string(const void* data, std::uint32_t length, std::int32_t* result);
