// CPmsValueBase: the common implementation of every SNMP value. It answers
// every operation with the default of a type that does not support it; each
// value type overrides what it supports.
#pragma once

#include <cstdint>

#include "common/allocation.h"
#include "tolvcomm/value.h"

class CPmsValueBase : public virtual IPmsValue, public tolv::PooledObject {
public:
    explicit CPmsValueBase(std::int32_t tag) : tag_(tag) {}
    CPmsValueBase(const CPmsValueBase&) = delete;
    CPmsValueBase& operator=(const CPmsValueBase&) = delete;

    void release() override;
    IPmsValue* clone(std::int32_t* result) const override;
    std::int32_t get_type() const override { return tag_; }
    IPmsOid* get_oid() override { return nullptr; }
    std::int32_t query_interface(std::int32_t id, void** out) override;
    bool is_valid() const override { return true; }
    std::int32_t get_int32(std::int32_t* result) const override;
    std::uint32_t get_uint32(std::int32_t* result) const override;
    IPmcByteString* to_text(std::int32_t* result) const override;
    std::int32_t to_text(IPmcByteString* out) const override;
    const std::uint8_t* get_bytes(std::uint32_t* length, std::int32_t* result) const override;
    IPmcByteString* to_bytes(std::int32_t* result) const override;
    std::int32_t to_bytes(IPmcByteString* out) const override;
    std::uint16_t get_uint16(std::int32_t* result) const override;
    std::uint32_t get_high32(std::int32_t* result) const override;
    std::uint32_t get_low32(std::int32_t* result) const override;
    std::int32_t set_int32(std::int32_t value) override;
    std::int32_t set_uint32(std::uint32_t value) override;
    std::int32_t set_text(const char* text) override;
    std::int32_t set_text(const IPmcByteString* text) override;
    std::int32_t set_bytes(const void* data, std::uint32_t length) override;
    std::int32_t set_bytes(const IPmcByteString* bytes) override;
    std::int32_t set_uint16(std::uint16_t value) override;
    std::int32_t set_high32(std::uint32_t value) override;
    std::int32_t set_low32(std::uint32_t value) override;
    std::uint32_t get_count() const override { return 0; }
    std::uint32_t get_index_length(std::int32_t implied) const override;
    std::uint32_t get_element(std::uint32_t index, std::int32_t* result) const override;
    std::int32_t append_index(IPmsOid* oid, std::int32_t implied) const override;
    std::int32_t to_index(IPmsOid* oid, std::int32_t implied) const override;
    std::int32_t from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) override;

protected:
    virtual ~CPmsValueBase() = default;
    // Whether `id` names this type or one it derives from (query_interface).
    virtual bool is_type_part(std::uint32_t id) const;
    // Types with an index form override append_index/from_index and say so.
    virtual bool has_index_form() const { return false; }

    const std::int32_t tag_;
};
