// An owned, NUL-terminated text that reports allocation failure as a code.
// Short texts (communities, names) are kept inline.
#pragma once

#include <cstdint>
#include <cstring>

namespace tolv {

class Text {
public:
    Text() = default;
    ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Copies the text (null means empty). -3 keeps the old text.
    std::int32_t set(const char* text);
    std::int32_t set(const char* text, std::size_t length);
    const char* c_str() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool operator==(const char* other) const { return std::strcmp(c_str(), other ? other : "") == 0; }
    bool operator==(const Text& other) const { return *this == other.c_str(); }

private:
    static constexpr std::size_t kInline = 24;
    char inline_[kInline] = {};
    char* data_ = inline_;
    std::size_t size_ = 0;
};

}  // namespace tolv
