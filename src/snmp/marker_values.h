// Values without content: NULL, and the three exception values of a
// response (noSuchObject, noSuchInstance, endOfMibView), which share a class
// that stores the tag.
#pragma once

#include "snmp/value_base.h"

class CPmsNullValue final : public CPmsValueBase {
public:
    CPmsNullValue() : CPmsValueBase(pms_tag::kNull) {}
    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override {}
    bool equals(const IPmsValue* other) const override;
};

class CPmsExceptionValue final : public CPmsValueBase {
public:
    explicit CPmsExceptionValue(std::int32_t tag) : CPmsValueBase(tag) {}
    std::int32_t accept(IPmsValueVisitor* visitor) override;
    std::int32_t assign(const IPmsValue* other) override;
    void clear() override {}
    bool equals(const IPmsValue* other) const override;

protected:
    bool is_type_part(std::uint32_t id) const override;
};
