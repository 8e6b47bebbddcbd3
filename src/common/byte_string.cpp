#include "common/byte_string.h"

#include <cstring>

#include "common/allocation.h"
#include "common/result.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

CPmcByteString::~CPmcByteString() { free_storage(); }

char* CPmcByteString::storage_for(std::uint32_t length) {
    // Inline unless the current bytes are there (they may be read meanwhile).
    if (length < kInline && data_ != inline_) return inline_;
    return static_cast<char*>(allocate(std::size_t{length} + 1));
}

void CPmcByteString::free_storage() {
    if (data_ != inline_) deallocate(data_);
}

void CPmcByteString::release() { delete this; }

std::int32_t CPmcByteString::set(const void* data, std::uint32_t length) {
    if (length == 0 || data == nullptr) {
        free_storage();
        data_ = nullptr;
        length_ = 0;
        return kOk;
    }
    char* copy = storage_for(length);
    if (copy == nullptr) return kErrNoMemory;
    std::memmove(copy, data, length);
    copy[length] = '\0';
    if (copy != data_) free_storage();
    data_ = copy;
    length_ = length;
    return kOk;
}

std::int32_t CPmcByteString::set(const char* text) {
    return set(text, text ? static_cast<std::uint32_t>(std::strlen(text)) : 0);
}

std::int32_t CPmcByteString::append(const void* data, std::uint32_t length) {
    if (length == 0 || data == nullptr) return kOk;
    const std::size_t total = std::size_t{length_} + length;
    if (total > UINT32_MAX) return kErrBadArgument;
    char* copy = storage_for(static_cast<std::uint32_t>(total));
    if (copy == nullptr) return kErrNoMemory;
    if (length_ != 0) std::memcpy(copy, data_, length_);
    std::memcpy(copy + length_, data, length);
    copy[total] = '\0';
    if (copy != data_) free_storage();
    data_ = copy;
    length_ = static_cast<std::uint32_t>(total);
    return kOk;
}

std::int32_t CPmcByteString::append(const char* text) {
    if (text == nullptr) return kOk;
    return append(text, static_cast<std::uint32_t>(std::strlen(text)));
}

std::int32_t CPmcByteString::append(const IPmcByteString* other) {
    if (other == nullptr) return kOk;
    return append(other->get_data(), other->get_length());
}

std::int32_t CPmcByteString::clone(IPmcByteString** out) const {
    if (out == nullptr) return kErrBadArgument;
    std::int32_t result = kOk;
    *out = pmc_create_byte_string(data_, length_, &result);
    return result;
}

bool CPmcByteString::equals(const void* data, std::uint32_t length) const {
    if (length != length_) return false;
    if (length == 0) return true;
    return data != nullptr && std::memcmp(data, data_, length) == 0;
}

bool CPmcByteString::equals(const char* text) const {
    if (text == nullptr) return false;
    return equals(text, static_cast<std::uint32_t>(std::strlen(text)));
}

bool CPmcByteString::equals(const IPmcByteString* other) const {
    if (other == nullptr) return false;
    return equals(other->get_data(), other->get_length());
}

IPmcByteString* pmc_create_byte_string(std::int32_t* result) {
    return pmc_create_byte_string(nullptr, 0, result);
}

IPmcByteString* pmc_create_byte_string(const void* data, std::uint32_t length, std::int32_t* result) {
    auto* string = create<CPmcByteString>();
    if (string == nullptr) return fail<IPmcByteString>(result, kErrNoMemory);
    const std::int32_t code = string->set(data, length);
    if (code != kOk) {
        string->release();
        return fail<IPmcByteString>(result, code);
    }
    set_result(result, kOk);
    return string;
}
