#include "snmp/numeric_values.h"

#include <cinttypes>
#include <cstdio>

#include "common/result.h"
#include "snmp/index_form.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace tolv {
std::int64_t parse_decimal(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(INT64_MAX);
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        if (magnitude > kLimit) {
            magnitude = kLimit;
            break;
        }
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}
}  // namespace tolv

namespace {
std::int32_t print(IPmcByteString* out, const char* format, auto value) {
    if (out == nullptr) return kErrBadArgument;
    char text[32];
    const int length = std::snprintf(text, sizeof text, format, value);
    return out->set(text, static_cast<std::uint32_t>(length));
}

// Reads the single arc of a number's index form.
std::int32_t read_number_arc(const IPmsOid* oid, std::uint32_t* arc) {
    if (oid == nullptr) return kErrBadArgument;
    IndexArcs arcs(oid);
    return arcs.read(arc);
}
}  // namespace

// INTEGER --------------------------------------------------------------------

std::int32_t CPmsIntegerValue::accept(IPmsValueVisitor* visitor) {
    return visitor ? visitor->visit_integer(this) : kErrBadArgument;
}

std::int32_t CPmsIntegerValue::assign(const IPmsValue* other) {
    if (other == nullptr || other->get_type() != tag_) return kErrBadArgument;
    value_ = other->get_int32(nullptr);
    return kOk;
}

bool CPmsIntegerValue::equals(const IPmsValue* other) const {
    return other != nullptr && other->get_type() == tag_ && other->get_int32(nullptr) == value_;
}

std::int32_t CPmsIntegerValue::get_int32(std::int32_t* result) const {
    set_result(result, kOk);
    return value_;
}

std::int32_t CPmsIntegerValue::to_text(IPmcByteString* out) const { return print(out, "%" PRId32, value_); }

std::int32_t CPmsIntegerValue::set_int32(std::int32_t value) {
    value_ = value;
    return kOk;
}

std::int32_t CPmsIntegerValue::set_text(const char* text) {
    if (text == nullptr) return kErrBadArgument;
    const std::int64_t value = parse_decimal(text);
    // Beyond the 32-bit range the value saturates, as atol does.
    value_ = value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(value);
    return kOk;
}

std::int32_t CPmsIntegerValue::append_index(IPmsOid* oid, std::int32_t) const {
    if (oid == nullptr) return kErrBadArgument;
    return oid->append(static_cast<std::uint32_t>(value_));
}

std::int32_t CPmsIntegerValue::from_index(const IPmsOid* oid, std::int32_t, std::int32_t) {
    clear();
    std::uint32_t arc = 0;
    const std::int32_t code = read_number_arc(oid, &arc);
    if (code == kOk) value_ = static_cast<std::int32_t>(arc);
    return code;
}

// Counter32, Gauge32, TimeTicks ---------------------------------------------

std::int32_t CPmsUnsigned32Value::accept(IPmsValueVisitor* visitor) {
    if (visitor == nullptr) return kErrBadArgument;
    switch (tag_) {
        case pms_tag::kCounter32: return visitor->visit_counter32(this);
        case pms_tag::kTimeTicks: return visitor->visit_timeticks(this);
        default: return visitor->visit_gauge32(this);
    }
}

bool CPmsUnsigned32Value::is_type_part(std::uint32_t id) const {
    // Counter32 and TimeTicks derive from Gauge32.
    return CPmsValueBase::is_type_part(id) || id == pms_value_id::kTypePartBase + pms_tag::kGauge32;
}

std::int32_t CPmsUnsigned32Value::assign(const IPmsValue* other) {
    if (other == nullptr || other->get_type() != tag_) return kErrBadArgument;
    value_ = other->get_uint32(nullptr);
    return kOk;
}

bool CPmsUnsigned32Value::equals(const IPmsValue* other) const {
    return other != nullptr && other->get_type() == tag_ && other->get_uint32(nullptr) == value_;
}

std::uint32_t CPmsUnsigned32Value::get_uint32(std::int32_t* result) const {
    set_result(result, kOk);
    return value_;
}

std::int32_t CPmsUnsigned32Value::to_text(IPmcByteString* out) const { return print(out, "%" PRIu32, value_); }

std::int32_t CPmsUnsigned32Value::set_uint32(std::uint32_t value) {
    value_ = value;
    return kOk;
}

std::int32_t CPmsUnsigned32Value::set_text(const char* text) {
    if (text == nullptr) return kErrBadArgument;
    // Read as a signed number and kept as its 32-bit pattern ("-1" is
    // 4294967295), while the whole unsigned range also reads as itself.
    const std::int64_t value = parse_decimal(text);
    if (value > static_cast<std::int64_t>(UINT32_MAX)) {
        value_ = UINT32_MAX;
    } else if (value < INT32_MIN) {
        value_ = static_cast<std::uint32_t>(INT32_MIN);
    } else {
        value_ = static_cast<std::uint32_t>(value);
    }
    return kOk;
}

std::int32_t CPmsUnsigned32Value::append_index(IPmsOid* oid, std::int32_t) const {
    if (oid == nullptr) return kErrBadArgument;
    return oid->append(value_);
}

std::int32_t CPmsUnsigned32Value::from_index(const IPmsOid* oid, std::int32_t, std::int32_t) {
    clear();
    return read_number_arc(oid, &value_);
}

// Counter64 -----------------------------------------------------------------

std::int32_t CPmsCounter64Value::accept(IPmsValueVisitor* visitor) {
    return visitor ? visitor->visit_counter64(this) : kErrBadArgument;
}

std::int32_t CPmsCounter64Value::assign(const IPmsValue* other) {
    if (other == nullptr || other->get_type() != tag_) return kErrBadArgument;
    high_ = other->get_high32(nullptr);
    low_ = other->get_low32(nullptr);
    return kOk;
}

bool CPmsCounter64Value::equals(const IPmsValue* other) const {
    return other != nullptr && other->get_type() == tag_ && other->get_high32(nullptr) == high_ &&
           other->get_low32(nullptr) == low_;
}

std::uint32_t CPmsCounter64Value::get_uint32(std::int32_t* result) const { return get_low32(result); }

std::uint32_t CPmsCounter64Value::get_high32(std::int32_t* result) const {
    set_result(result, kOk);
    return high_;
}

std::uint32_t CPmsCounter64Value::get_low32(std::int32_t* result) const {
    set_result(result, kOk);
    return low_;
}

std::int32_t CPmsCounter64Value::to_text(IPmcByteString* out) const {
    return print(out, "%" PRIu64, (static_cast<std::uint64_t>(high_) << 32) | low_);
}

std::int32_t CPmsCounter64Value::set_uint32(std::uint32_t value) {
    high_ = 0;
    low_ = value;
    return kOk;
}

std::int32_t CPmsCounter64Value::set_text(const char* text) {
    if (text == nullptr) return kErrBadArgument;
    std::uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return kErrBadArgument;
        const auto digit = static_cast<unsigned>(*p - '0');
        if (value > (UINT64_MAX - digit) / 10) return kErrBadArgument;  // beyond 2^64 - 1
        value = value * 10 + digit;
    }
    high_ = static_cast<std::uint32_t>(value >> 32);
    low_ = static_cast<std::uint32_t>(value);
    return kOk;
}

std::int32_t CPmsCounter64Value::set_high32(std::uint32_t value) {
    high_ = value;
    return kOk;
}

std::int32_t CPmsCounter64Value::set_low32(std::uint32_t value) {
    low_ = value;
    return kOk;
}
