// SNMP values by BER tag (IPmsValue), OBJECT IDENTIFIERs (IPmsOid) and the
// visitor through which the codec reads and writes values.
//
// Operations are declared in their fixed slot order: callers outside the
// library call them by position.
#pragma once

#include <cstdint>

#include "tolvcomm/byte_string.h"

class IPmsOid;
class IPmsValueVisitor;

// The BER tags of the value types the library knows.
namespace pms_tag {
inline constexpr std::int32_t kInteger = 2;
inline constexpr std::int32_t kOctetString = 4;
inline constexpr std::int32_t kNull = 5;
inline constexpr std::int32_t kObjectIdentifier = 6;
inline constexpr std::int32_t kIpAddress = 0x40;
inline constexpr std::int32_t kCounter32 = 0x41;
inline constexpr std::int32_t kGauge32 = 0x42;
inline constexpr std::int32_t kTimeTicks = 0x43;
inline constexpr std::int32_t kOpaque = 0x44;
inline constexpr std::int32_t kCounter64 = 0x46;
inline constexpr std::int32_t kIpv6Address = 0x48;
inline constexpr std::int32_t kNoSuchObject = 0x80;
inline constexpr std::int32_t kNoSuchInstance = 0x81;
inline constexpr std::int32_t kEndOfMibView = 0x82;
inline constexpr std::int32_t kUdpAddress = 0xFF02;
inline constexpr std::int32_t kIpxAddress = 0xFF03;
}  // namespace pms_tag

// Identifiers for IPmsValue::query_interface.
namespace pms_value_id {
inline constexpr std::int32_t kOidPart = 6;                       // the IPmsOid of an OBJECT IDENTIFIER
inline constexpr std::int32_t kValueInterface = 0xFF00;           // the IPmsValue interface
inline constexpr std::uint32_t kBasePart = 0xF000FF00u;           // the common implementation part
inline constexpr std::uint32_t kExceptionPart = 0xF000FF01u;      // noSuchObject, noSuchInstance, endOfMibView
inline constexpr std::uint32_t kTypePartBase = 0xF0000000u;       // plus the tag: the type's own part
}  // namespace pms_value_id

class IPmsValue {
public:
    virtual std::int32_t accept(IPmsValueVisitor* visitor) = 0;
    virtual void release() = 0;
    virtual IPmsValue* clone(std::int32_t* result) const = 0;
    virtual std::int32_t assign(const IPmsValue* other) = 0;
    virtual void clear() = 0;
    virtual std::int32_t get_type() const = 0;
    virtual bool equals(const IPmsValue* other) const = 0;
    virtual IPmsOid* get_oid() = 0;
    virtual std::int32_t query_interface(std::int32_t id, void** out) = 0;
    virtual bool is_valid() const = 0;
    virtual std::int32_t get_int32(std::int32_t* result) const = 0;
    virtual std::uint32_t get_uint32(std::int32_t* result) const = 0;
    virtual IPmcByteString* to_text(std::int32_t* result) const = 0;
    virtual std::int32_t to_text(IPmcByteString* out) const = 0;
    virtual const std::uint8_t* get_bytes(std::uint32_t* length, std::int32_t* result) const = 0;
    virtual IPmcByteString* to_bytes(std::int32_t* result) const = 0;
    virtual std::int32_t to_bytes(IPmcByteString* out) const = 0;
    virtual std::uint16_t get_uint16(std::int32_t* result) const = 0;
    virtual std::uint32_t get_high32(std::int32_t* result) const = 0;
    virtual std::uint32_t get_low32(std::int32_t* result) const = 0;
    virtual std::int32_t set_int32(std::int32_t value) = 0;
    virtual std::int32_t set_uint32(std::uint32_t value) = 0;
    virtual std::int32_t set_text(const char* text) = 0;
    virtual std::int32_t set_text(const IPmcByteString* text) = 0;
    virtual std::int32_t set_bytes(const void* data, std::uint32_t length) = 0;
    virtual std::int32_t set_bytes(const IPmcByteString* bytes) = 0;
    virtual std::int32_t set_uint16(std::uint16_t value) = 0;
    virtual std::int32_t set_high32(std::uint32_t value) = 0;
    virtual std::int32_t set_low32(std::uint32_t value) = 0;
    virtual std::uint32_t get_count() const = 0;
    virtual std::uint32_t get_index_length(std::int32_t implied) const = 0;
    virtual std::uint32_t get_element(std::uint32_t index, std::int32_t* result) const = 0;
    virtual std::int32_t append_index(IPmsOid* oid, std::int32_t implied) const = 0;
    virtual std::int32_t to_index(IPmsOid* oid, std::int32_t implied) const = 0;
    virtual std::int32_t from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) = 0;

protected:
    ~IPmsValue() = default;
};

// Relation of one OID to another, as IPmsOid::compare reports it.
namespace pms_oid_relation {
inline constexpr std::int32_t kEqual = 0;
inline constexpr std::int32_t kOtherBelow = 1;  // the other OID lies below this one
inline constexpr std::int32_t kThisBelow = 2;   // this OID lies below the other
inline constexpr std::int32_t kBefore = 3;      // this OID sorts before the other
inline constexpr std::int32_t kAfter = 4;       // this OID sorts after the other
}  // namespace pms_oid_relation

class IPmsOid {
public:
    virtual IPmsOid* clone(std::int32_t* result) const = 0;
    virtual std::int32_t compare(const char* text, std::int32_t* result) const = 0;
    virtual std::int32_t compare(const IPmsOid* other, std::int32_t* result) const = 0;
    virtual std::int32_t remove_prefix(const char* text) = 0;
    virtual std::int32_t remove_prefix(const IPmsOid* prefix) = 0;
    virtual std::int32_t append(const char* text) = 0;
    virtual std::int32_t append(std::uint32_t arc) = 0;
    virtual std::int32_t append(const IPmsOid* other) = 0;
    virtual std::int32_t append_index(const char* text, std::int32_t type, std::int32_t implied) = 0;
    virtual std::int32_t append_index(const IPmsValue* value, std::int32_t implied) = 0;
    virtual IPmsOid* split_front(std::uint32_t count, std::int32_t* result) = 0;
    virtual std::int32_t split_front(IPmsOid* out, std::uint32_t count) = 0;
    virtual std::uint32_t pop_arc(std::int32_t* result) = 0;
    virtual IPmcByteString* split_front_text(std::uint32_t count, std::int32_t* result) = 0;
    virtual std::int32_t split_front_text(IPmcByteString* out, std::uint32_t count) = 0;
    virtual IPmsValue* pop_index(std::int32_t type, std::int32_t* result, std::int32_t implied,
                                 std::int32_t count) = 0;
    virtual std::int32_t pop_index(IPmsValue* value, std::int32_t implied, std::int32_t count) = 0;
    virtual std::int32_t erase(std::uint32_t start, std::uint32_t count) = 0;
    virtual IPmsValue* peek_index(std::int32_t type, std::int32_t* result, std::int32_t implied) const = 0;
    virtual std::int32_t peek_index(IPmsValue* value, std::int32_t implied) const = 0;
    virtual std::int32_t set_index(const IPmsValue* value, std::int32_t implied) = 0;
    // Added after the fixed slots: an OID handed out on its own (clone,
    // split_front) must be releasable, and its value part reachable.
    virtual void release() = 0;
    virtual IPmsValue* as_value() = 0;
    virtual const IPmsValue* as_value() const = 0;

protected:
    ~IPmsOid() = default;
};

// One operation per kind of value; each value's accept calls its own.
class IPmsValueVisitor {
public:
    virtual std::int32_t visit_oid(IPmsValue* value) = 0;
    virtual std::int32_t visit_octets(IPmsValue* value) = 0;  // OCTET STRING and Opaque
    virtual std::int32_t visit_integer(IPmsValue* value) = 0;
    virtual std::int32_t visit_null(IPmsValue* value) = 0;
    virtual std::int32_t visit_counter32(IPmsValue* value) = 0;
    virtual std::int32_t visit_gauge32(IPmsValue* value) = 0;
    virtual std::int32_t visit_timeticks(IPmsValue* value) = 0;
    virtual std::int32_t visit_counter64(IPmsValue* value) = 0;
    virtual std::int32_t visit_ip_address(IPmsValue* value) = 0;
    virtual std::int32_t visit_ipv6_address(IPmsValue* value) = 0;
    virtual std::int32_t visit_udp_address(IPmsValue* value) = 0;
    virtual std::int32_t visit_ipx_address(IPmsValue* value) = 0;
    virtual std::int32_t visit_exception(IPmsValue* value) = 0;

protected:
    ~IPmsValueVisitor() = default;
};
