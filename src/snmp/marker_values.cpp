#include "snmp/marker_values.h"

#include "tolvcomm/result_codes.h"

using namespace tolv;

std::int32_t CPmsNullValue::accept(IPmsValueVisitor* visitor) {
    return visitor ? visitor->visit_null(this) : kErrBadArgument;
}

std::int32_t CPmsNullValue::assign(const IPmsValue* other) {
    return other != nullptr && other->get_type() == tag_ ? kOk : kErrBadArgument;
}

bool CPmsNullValue::equals(const IPmsValue* other) const { return other != nullptr && other->get_type() == tag_; }

std::int32_t CPmsExceptionValue::accept(IPmsValueVisitor* visitor) {
    return visitor ? visitor->visit_exception(this) : kErrBadArgument;
}

std::int32_t CPmsExceptionValue::assign(const IPmsValue* other) {
    return other != nullptr && other->get_type() == tag_ ? kOk : kErrBadArgument;
}

bool CPmsExceptionValue::equals(const IPmsValue* other) const {
    return other != nullptr && other->get_type() == tag_;
}

bool CPmsExceptionValue::is_type_part(std::uint32_t id) const {
    return CPmsValueBase::is_type_part(id) || id == pms_value_id::kExceptionPart;
}
