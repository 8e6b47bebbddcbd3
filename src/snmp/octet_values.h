// The byte-holding SNMP values: OCTET STRING and Opaque (any length), and
// the fixed-size address-like types IpAddress (4 bytes), IPv6 address (16),
// UDP transport address (4 address bytes + port) and IPX transport address
// (4 network + 6 node bytes + socket).
#pragma once

#include "snmp/value_base.h"

class CPmsOctetsValue final : public CPmsValueBase {
public:
    explicit CPmsOctetsValue(std::int32_t tag);
    ~CPmsOctetsValue() override;

    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override;
    bool equals(const IPmsValue* other) const override;
    std::uint32_t get_uint32(std::int32_t* result) const override;
    std::int32_t to_text(IPmcByteString* out) const override;
    using CPmsValueBase::to_text;
    const std::uint8_t* get_bytes(std::uint32_t* length, std::int32_t* result) const override;
    std::uint16_t get_uint16(std::int32_t* result) const override;
    std::int32_t set_uint32(std::uint32_t value) override;
    std::int32_t set_text(const char* text) override;
    using CPmsValueBase::set_text;
    std::int32_t set_bytes(const void* data, std::uint32_t length) override;
    using CPmsValueBase::set_bytes;
    std::int32_t set_uint16(std::uint16_t value) override;
    std::uint32_t get_count() const override { return length_; }
    std::uint32_t get_index_length(std::int32_t implied) const override;
    std::uint32_t get_element(std::uint32_t index, std::int32_t* result) const override;
    std::int32_t append_index(IPmsOid* oid, std::int32_t implied) const override;
    std::int32_t from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) override;

protected:
    bool is_type_part(std::uint32_t id) const override;
    bool has_index_form() const override { return true; }

private:
    static constexpr std::uint32_t kMaxFixedSize = 16;
    // Short strings live in the object itself, so decoding a typical
    // binding makes no extra heap block.
    static constexpr std::uint32_t kInlineSize = 40;

    std::uint8_t* data() { return heap_ ? heap_ : inline_; }
    const std::uint8_t* data() const { return heap_ ? heap_ : inline_; }
    bool is_fixed_size() const { return fixed_size_ != 0; }
    // The arc that starts the index form of a transport address, 0 for none.
    std::uint32_t domain_arc() const;
    std::int32_t parse_address_text(const char* text);
    std::int32_t print_address_text(IPmcByteString* out) const;

    const std::uint32_t fixed_size_;  // 0 for OCTET STRING and Opaque
    std::uint8_t inline_[kInlineSize];  // the fixed-size types keep theirs zeroed
    std::uint8_t* heap_ = nullptr;
    std::uint32_t length_;
};
