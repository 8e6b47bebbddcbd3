// The numeric SNMP values: INTEGER, the unsigned 32-bit family (Counter32,
// Gauge32, TimeTicks) and Counter64.
#pragma once

#include "snmp/value_base.h"

class CPmsIntegerValue final : public CPmsValueBase {
public:
    CPmsIntegerValue() : CPmsValueBase(pms_tag::kInteger) {}
    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override { value_ = 0; }
    bool equals(const IPmsValue* other) const override;
    std::int32_t get_int32(std::int32_t* result) const override;
    std::int32_t to_text(IPmcByteString* out) const override;
    using CPmsValueBase::to_text;
    std::int32_t set_int32(std::int32_t value) override;
    std::int32_t set_text(const char* text) override;
    using CPmsValueBase::set_text;
    std::uint32_t get_count() const override { return 1; }
    std::int32_t append_index(IPmsOid* oid, std::int32_t implied) const override;
    std::int32_t from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) override;

protected:
    bool has_index_form() const override { return true; }

private:
    std::int32_t value_ = 0;
};

// Gauge32 (Unsigned32), and Counter32 and TimeTicks, which derive from it.
class CPmsUnsigned32Value final : public CPmsValueBase {
public:
    explicit CPmsUnsigned32Value(std::int32_t tag) : CPmsValueBase(tag) {}
    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override { value_ = 0; }
    bool equals(const IPmsValue* other) const override;
    std::uint32_t get_uint32(std::int32_t* result) const override;
    std::int32_t to_text(IPmcByteString* out) const override;
    using CPmsValueBase::to_text;
    std::int32_t set_uint32(std::uint32_t value) override;
    std::int32_t set_text(const char* text) override;
    using CPmsValueBase::set_text;
    std::uint32_t get_count() const override { return 1; }
    std::int32_t append_index(IPmsOid* oid, std::int32_t implied) const override;
    std::int32_t from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) override;

protected:
    bool is_type_part(std::uint32_t id) const override;
    bool has_index_form() const override { return true; }

private:
    std::uint32_t value_ = 0;
};

class CPmsCounter64Value final : public CPmsValueBase {
public:
    CPmsCounter64Value() : CPmsValueBase(pms_tag::kCounter64) {}
    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override { high_ = low_ = 0; }
    bool equals(const IPmsValue* other) const override;
    std::uint32_t get_uint32(std::int32_t* result) const override;
    std::uint32_t get_high32(std::int32_t* result) const override;
    std::uint32_t get_low32(std::int32_t* result) const override;
    std::int32_t to_text(IPmcByteString* out) const override;
    using CPmsValueBase::to_text;
    std::int32_t set_uint32(std::uint32_t value) override;
    std::int32_t set_text(const char* text) override;
    using CPmsValueBase::set_text;
    std::int32_t set_high32(std::uint32_t value) override;
    std::int32_t set_low32(std::uint32_t value) override;
    std::uint32_t get_count() const override { return 1; }

private:
    std::uint32_t high_ = 0;
    std::uint32_t low_ = 0;
};

namespace tolv {
// Reads a decimal text as atol does (white space, sign, digits up to the
// first other character; no digits gives 0), saturating at the limits of a
// 64-bit number instead of overflowing.
std::int64_t parse_decimal(const char* text);
}  // namespace tolv
