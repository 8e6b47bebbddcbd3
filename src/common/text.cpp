#include "common/text.h"

#include "common/allocation.h"
#include "tolvcomm/result_codes.h"

namespace tolv {

Text::~Text() {
    if (data_ != inline_) deallocate(data_);
}

std::int32_t Text::set(const char* text) { return set(text, text ? std::strlen(text) : 0); }

std::int32_t Text::set(const char* text, std::size_t length) {
    if (text == nullptr) length = 0;
    char* copy = length < kInline ? inline_ : static_cast<char*>(allocate(length + 1));
    if (copy == nullptr) return kErrNoMemory;
    if (length != 0) std::memmove(copy, text, length);
    copy[length] = '\0';
    if (data_ != inline_ && data_ != copy) deallocate(data_);
    data_ = copy;
    size_ = length;
    return kOk;
}

}  // namespace tolv
