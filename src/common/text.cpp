#include "common/text.h"

#include "common/allocation.h"
#include "tolvcomm/result_codes.h"

namespace tolv {

Text::~Text() { deallocate(data_); }

std::int32_t Text::set(const char* text) { return set(text, text ? std::strlen(text) : 0); }

std::int32_t Text::set(const char* text, std::size_t length) {
    if (text == nullptr || length == 0) {
        deallocate(data_);
        data_ = nullptr;
        size_ = 0;
        return kOk;
    }
    auto* copy = static_cast<char*>(allocate(length + 1));
    if (copy == nullptr) return kErrNoMemory;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    deallocate(data_);
    data_ = copy;
    size_ = length;
    return kOk;
}

}  // namespace tolv
