// Test helpers: ownership of library objects, and short ways to build and
// print values.
#pragma once

#include <memory>

struct Releaser {
    template <class T>
    void operator()(T* object) const {
        if (object != nullptr) object->release();
    }
};

template <class T>
using Owned = std::unique_ptr<T, Releaser>;

template <class T>
Owned<T> own(T* object) {
    return Owned<T>(object);
}

#include <string>

#include "snmp/value_factory.h"

// A new OID holding the text as given (not checked).
inline Owned<IPmsOid> oid_of(const char* text) {
    auto oid = own(pms_create_oid(nullptr));
    oid->as_value()->set_text(text);
    return oid;
}

// The text form of a value, or "<code>" when it has none.
inline std::string text_of(const IPmsValue* value) {
    std::int32_t result = 0;
    auto text = own(value->to_text(&result));
    if (result != 0) return "<" + std::to_string(result) + ">";
    return text->get_length() ? std::string(text->get_data(), text->get_length()) : std::string();
}

inline std::string text_of(const IPmsOid* oid) { return text_of(oid->as_value()); }
