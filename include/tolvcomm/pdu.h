// IPmsPdu: a PDU (type = BER tag minus 0xA0) with its variable bindings.
#pragma once

#include <cstdint>

#include "tolvcomm/varbind.h"

namespace pms_pdu_type {
inline constexpr std::int32_t kNone = -1;
inline constexpr std::int32_t kGetRequest = 0;
inline constexpr std::int32_t kGetNextRequest = 1;
inline constexpr std::int32_t kResponse = 2;
inline constexpr std::int32_t kSetRequest = 3;
inline constexpr std::int32_t kTrap = 4;  // SNMPv1 Trap-PDU and SNMPv2-Trap
inline constexpr std::int32_t kGetBulkRequest = 5;
inline constexpr std::int32_t kInformRequest = 6;
inline constexpr std::int32_t kReport = 8;
}  // namespace pms_pdu_type

class IPmsPdu {
public:
    virtual void release() = 0;
    virtual void clear() = 0;
    virtual IPmsPdu* clone(std::int32_t* result) const = 0;
    virtual std::int32_t copy(const IPmsPdu* source) = 0;
    virtual std::int32_t copy_header(const IPmsPdu* source) = 0;
    virtual bool equals(const IPmsPdu* other) const = 0;
    virtual std::int32_t get_type() const = 0;
    virtual void set_type(std::int32_t type) = 0;
    virtual IPmsVarBindList* get_bindings() const = 0;
    virtual void set_bindings(IPmsVarBindList* bindings) = 0;
    virtual IPmsVarBindList* take_bindings() = 0;
    virtual std::int32_t add(IPmsOid* oid, IPmsValue* value) = 0;
    virtual std::int32_t append(IPmsVarBind* binding) = 0;
    virtual std::int32_t add_front(IPmsOid* oid, IPmsValue* value) = 0;
    virtual std::int32_t insert_front(IPmsVarBind* binding) = 0;
    virtual void pop_front(IPmsOid** oid, IPmsValue** value) = 0;
    virtual IPmsVarBind* pop_front() = 0;
    virtual std::int32_t get_request_id() const = 0;
    virtual std::int32_t get_error_status() const = 0;
    virtual std::int32_t get_error_index() const = 0;
    virtual void set_request_id(std::int32_t id) = 0;
    virtual void set_error_status(std::int32_t status) = 0;
    virtual void set_error_index(std::int32_t index) = 0;
    virtual IPmsValue* get_timestamp() const = 0;
    virtual IPmsOid* get_trap_oid() const = 0;
    virtual IPmsValue* take_timestamp() = 0;
    virtual IPmsOid* take_trap_oid() = 0;
    virtual std::int32_t set_timestamp(IPmsValue* timestamp) = 0;
    virtual std::int32_t set_trap_oid(IPmsValue* trap_oid) = 0;
    virtual ~IPmsPdu() = default;
};
