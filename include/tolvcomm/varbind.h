// Variable bindings (an OID and a value) and their owning ordered list.
#pragma once

#include <cstdint>

#include "tolvcomm/value.h"

class IPmsVarBind {
public:
    virtual void release() = 0;
    virtual IPmsVarBind* clone(std::int32_t* result) const = 0;
    virtual bool equals(const IPmsVarBind* other) const = 0;
    virtual std::int32_t set(IPmsOid* oid, IPmsValue* value) = 0;
    // Same as set(); the slot exists twice in the binary interface.
    virtual std::int32_t replace(IPmsOid* oid, IPmsValue* value) = 0;
    virtual void take(IPmsOid** oid, IPmsValue** value) = 0;
    virtual void set_oid(IPmsOid* oid) = 0;
    virtual void set_value(IPmsValue* value) = 0;
    virtual IPmsOid* get_oid() const = 0;
    virtual IPmsValue* get_value() const = 0;
    virtual std::int32_t get_status() const = 0;
    virtual void set_status(std::int32_t status) = 0;
    virtual ~IPmsVarBind() = default;
};

// Status a binding gets when another binding of the same response is in error.
inline constexpr std::int32_t kPmsStatusOtherInError = 100;

// The list owns its bindings. Adders take ownership of what they are given
// when they succeed; when they fail, the caller keeps it.
class IPmsVarBindList {
public:
    virtual void release() = 0;
    virtual IPmsVarBindList* clone(std::int32_t* result) const = 0;
    virtual bool equals(const IPmsVarBindList* other) const = 0;
    virtual std::uint32_t get_count() const = 0;
    virtual std::int32_t add(IPmsOid* oid, IPmsValue* value) = 0;
    virtual std::int32_t append(IPmsVarBind* binding) = 0;
    virtual std::int32_t add_front(IPmsOid* oid, IPmsValue* value) = 0;
    virtual std::int32_t insert_front(IPmsVarBind* binding) = 0;
    virtual std::int32_t remove(std::uint32_t index, IPmsVarBind** out) = 0;
    virtual void pop_front(IPmsOid** oid, IPmsValue** value) = 0;
    virtual IPmsVarBind* pop_front() = 0;
    virtual IPmsVarBind* get(std::uint32_t index) const = 0;
    virtual IPmsVarBindList* clone_range(std::uint32_t start, std::uint32_t count,
                                         std::int32_t* result) const = 0;
    virtual IPmsVarBindList* split_front(std::uint32_t count, std::int32_t* result) = 0;
    virtual void set_error(std::int32_t status, std::uint32_t index) = 0;
    virtual void set_status(std::int32_t status) = 0;
    virtual ~IPmsVarBindList() = default;
};
