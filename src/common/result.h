// Helpers for the trailing optional result out-parameter.
#pragma once

#include <cstdint>

namespace tolv {

inline void set_result(std::int32_t* result, std::int32_t code) {
    if (result != nullptr) *result = code;
}

// Writes the code and returns null: the usual way a factory fails.
template <class T>
T* fail(std::int32_t* result, std::int32_t code) {
    set_result(result, code);
    return nullptr;
}

}  // namespace tolv
