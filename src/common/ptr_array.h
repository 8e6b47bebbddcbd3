// A growable array of pointers that does not own them and reports
// allocation failure as a result code.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/allocation.h"
#include "tolvcomm/result_codes.h"

namespace tolv {

template <class T>
class PtrArray {
public:
    PtrArray() = default;
    ~PtrArray() { deallocate(items_); }
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    std::uint32_t size() const { return size_; }
    T* operator[](std::uint32_t index) const { return items_[index]; }
    T** begin() const { return items_; }
    T** end() const { return items_ + size_; }

    std::int32_t push_back(T* item) {
        if (size_ == capacity_) {
            const std::uint32_t capacity = capacity_ == 0 ? 4 : capacity_ * 2;
            auto* grown = static_cast<T**>(reallocate(items_, capacity * sizeof(T*)));
            if (grown == nullptr) return kErrNoMemory;
            items_ = grown;
            capacity_ = capacity;
        }
        items_[size_++] = item;
        return kOk;
    }

    bool contains(const T* item) const {
        for (T* mine : *this) {
            if (mine == item) return true;
        }
        return false;
    }

    // Removes the first occurrence; false when the item is not there.
    bool remove(const T* item) {
        for (std::uint32_t i = 0; i < size_; ++i) {
            if (items_[i] == item) {
                std::memmove(items_ + i, items_ + i + 1, (size_ - i - 1) * sizeof(T*));
                --size_;
                return true;
            }
        }
        return false;
    }

    void clear() { size_ = 0; }

private:
    T** items_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

}  // namespace tolv
