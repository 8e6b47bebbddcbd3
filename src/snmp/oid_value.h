// CPmsOidValue: an OBJECT IDENTIFIER held as dotted text with a cached arc
// count (-1 while unknown). It is both an IPmsValue and an IPmsOid.
#pragma once

#include <cstddef>

#include "snmp/value_base.h"

class CPmsOidValue final : public CPmsValueBase, public virtual IPmsOid {
public:
    // This library's own OID object behind an interface, or null for any
    // other implementation (found without a dynamic_cast).
    static CPmsOidValue* of(IPmsValue* value);
    static const CPmsOidValue* of(const IPmsValue* value) { return of(const_cast<IPmsValue*>(value)); }
    static CPmsOidValue* of(IPmsOid* oid) { return oid ? of(oid->as_value()) : nullptr; }

    CPmsOidValue() : CPmsValueBase(pms_tag::kObjectIdentifier) { inline_text_[0] = '\0'; }
    ~CPmsOidValue() override;

    // Both interfaces name these; one implementation serves both.
    void release() override { CPmsValueBase::release(); }
    CPmsOidValue* clone(std::int32_t* result) const override;

    // IPmsValue
    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override;
    bool equals(const IPmsValue* other) const override;
    IPmsOid* get_oid() override { return this; }
    std::int32_t query_interface(std::int32_t id, void** out) override;
    bool is_valid() const override;
    std::uint32_t get_uint32(std::int32_t* result) const override;
    std::int32_t to_text(IPmcByteString* out) const override;
    using CPmsValueBase::to_text;
    const std::uint8_t* get_bytes(std::uint32_t* length, std::int32_t* result) const override;
    std::int32_t set_uint32(std::uint32_t value) override;
    std::int32_t set_text(const char* text) override;
    using CPmsValueBase::set_text;
    std::int32_t set_bytes(const void* data, std::uint32_t length) override;
    using CPmsValueBase::set_bytes;
    std::uint32_t get_count() const override;
    std::uint32_t get_index_length(std::int32_t implied) const override;
    std::uint32_t get_element(std::uint32_t index, std::int32_t* result) const override;
    std::int32_t append_index(IPmsOid* oid, std::int32_t implied) const override;
    std::int32_t from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) override;

    // IPmsOid
    std::int32_t compare(const char* text, std::int32_t* result) const override;
    std::int32_t compare(const IPmsOid* other, std::int32_t* result) const override;
    std::int32_t remove_prefix(const char* text) override;
    std::int32_t remove_prefix(const IPmsOid* prefix) override;
    std::int32_t append(const char* text) override;
    std::int32_t append(std::uint32_t arc) override;
    std::int32_t append(const IPmsOid* other) override;
    std::int32_t append_index(const char* text, std::int32_t type, std::int32_t implied) override;
    std::int32_t append_index(const IPmsValue* value, std::int32_t implied) override;
    IPmsOid* split_front(std::uint32_t count, std::int32_t* result) override;
    std::int32_t split_front(IPmsOid* out, std::uint32_t count) override;
    std::uint32_t pop_arc(std::int32_t* result) override;
    IPmcByteString* split_front_text(std::uint32_t count, std::int32_t* result) override;
    std::int32_t split_front_text(IPmcByteString* out, std::uint32_t count) override;
    IPmsValue* pop_index(std::int32_t type, std::int32_t* result, std::int32_t implied, std::int32_t count) override;
    std::int32_t pop_index(IPmsValue* value, std::int32_t implied, std::int32_t count) override;
    std::int32_t erase(std::uint32_t start, std::uint32_t count) override;
    IPmsValue* peek_index(std::int32_t type, std::int32_t* result, std::int32_t implied) const override;
    std::int32_t peek_index(IPmsValue* value, std::int32_t implied) const override;
    std::int32_t set_index(const IPmsValue* value, std::int32_t implied) override;
    IPmsValue* as_value() override { return this; }
    const IPmsValue* as_value() const override { return this; }

    const char* text() const { return text_; }
    std::size_t text_length() const { return length_; }

    // The BER content of this OID when it is known (decoded, or encoded
    // before), else null: encoding it again is then a copy. Any change of
    // the text forgets it.
    const std::uint8_t* encoded(std::size_t* length) const {
        *length = encoded_length_;
        return encoded_length_ != 0 ? encoded_ : nullptr;
    }
    void remember_encoded(const std::uint8_t* content, std::size_t length) const;
    // Sets this OID from BER content: 0, -250 when the content is not an
    // OID (the OID is then empty), -3 without memory.
    std::int32_t decode_from(const std::uint8_t* content, std::size_t length);

protected:
    bool has_index_form() const override { return true; }

private:
    static constexpr std::int32_t kUnknownCount = -1;

    std::int32_t reserve(std::size_t length);
    std::int32_t replace_text(const char* text, std::size_t length);
    // Appends raw dotted text (with a separating dot when not empty).
    std::int32_t append_text(const char* text, std::size_t length);
    void remove_front_bytes(std::size_t length, std::uint32_t arcs);

    // Typical OIDs fit in the object itself; longer ones move to the heap.
    static constexpr std::size_t kInlineCapacity = 72;
    char inline_text_[kInlineCapacity];
    char* text_ = inline_text_;
    std::size_t length_ = 0;
    std::size_t capacity_ = kInlineCapacity;
    mutable std::int32_t count_ = 0;
    static constexpr std::size_t kMaxEncoded = 32;
    mutable std::uint8_t encoded_[kMaxEncoded];
    mutable std::uint8_t encoded_length_ = 0;  // 0: not known
};
