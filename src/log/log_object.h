// The four operations every log framework object starts with, answered
// from one lookup of interface identifiers.
#pragma once

#include <cstring>

#include "tolvcomm/log.h"
#include "tolvcomm/result_codes.h"

namespace tolv::log {

inline bool same_id(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

template <class Interface>
class LogObject : public Interface {
public:
    std::int32_t query_interface(const char* id, void** out) override {
        if (out == nullptr) return kErrBadArgument;
        *out = id != nullptr ? find_part(id) : nullptr;
        return *out != nullptr ? kOk : kErrUnknownInterface;
    }
    std::int32_t find_interface(const char* id, void** out) override { return query_interface(id, out); }
    std::int32_t reserved(void*, void*) override { return kErrNotSupported; }

protected:
    ~LogObject() = default;
    // The part of this object that answers `id`, or null.
    virtual void* find_part(const char* id) = 0;
};

}  // namespace tolv::log
