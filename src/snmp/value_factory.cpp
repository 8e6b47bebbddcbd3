#include "snmp/value_factory.h"

#include "common/allocation.h"
#include "common/result.h"
#include "snmp/marker_values.h"
#include "snmp/numeric_values.h"
#include "snmp/octet_values.h"
#include "snmp/oid_value.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
CPmsValueBase* new_value_of(std::int32_t type) {
    switch (type) {
        case pms_tag::kInteger: return create<CPmsIntegerValue>();
        case pms_tag::kOctetString:
        case pms_tag::kOpaque:
        case pms_tag::kIpAddress:
        case pms_tag::kIpv6Address:
        case pms_tag::kUdpAddress:
        case pms_tag::kIpxAddress: return create<CPmsOctetsValue>(type);
        case pms_tag::kNull: return create<CPmsNullValue>();
        case pms_tag::kObjectIdentifier: return create<CPmsOidValue>();
        case pms_tag::kCounter32:
        case pms_tag::kGauge32:
        case pms_tag::kTimeTicks: return create<CPmsUnsigned32Value>(type);
        case pms_tag::kCounter64: return create<CPmsCounter64Value>();
        case pms_tag::kNoSuchObject:
        case pms_tag::kNoSuchInstance:
        case pms_tag::kEndOfMibView: return create<CPmsExceptionValue>(type);
        default: return nullptr;
    }
}

bool is_known_type(std::int32_t type) {
    switch (type) {
        case pms_tag::kInteger: case pms_tag::kOctetString: case pms_tag::kNull:
        case pms_tag::kObjectIdentifier: case pms_tag::kIpAddress: case pms_tag::kCounter32:
        case pms_tag::kGauge32: case pms_tag::kTimeTicks: case pms_tag::kOpaque:
        case pms_tag::kCounter64: case pms_tag::kIpv6Address: case pms_tag::kNoSuchObject:
        case pms_tag::kNoSuchInstance: case pms_tag::kEndOfMibView: case pms_tag::kUdpAddress:
        case pms_tag::kIpxAddress: return true;
        default: return false;
    }
}

// Releases the value when the step failed and reports the step's code.
IPmsValue* finish(IPmsValue* value, std::int32_t code, std::int32_t* result) {
    if (code != kOk) {
        value->release();
        return fail<IPmsValue>(result, code);
    }
    set_result(result, kOk);
    return value;
}
}  // namespace

IPmsValue* pms_create_value(std::int32_t type, std::int32_t* result) {
    if (!is_known_type(type)) return fail<IPmsValue>(result, kErrBadArgument);
    CPmsValueBase* value = new_value_of(type);
    if (value == nullptr) return fail<IPmsValue>(result, kErrNoMemory);
    set_result(result, kOk);
    return value;
}

IPmsValue* pms_create_value_from_int(std::int32_t number, std::int32_t type, std::int32_t* result) {
    IPmsValue* value = pms_create_value(type, result);
    if (value == nullptr) return nullptr;
    return finish(value, value->set_int32(number), result);
}

IPmsValue* pms_create_value_from_text(const char* text, std::int32_t type, std::int32_t* result) {
    if (text == nullptr) return fail<IPmsValue>(result, kErrBadArgument);
    IPmsValue* value = pms_create_value(type, result);
    if (value == nullptr) return nullptr;
    std::int32_t code = value->set_text(text);
    if (code == kOk && !value->is_valid()) code = kErrBadArgument;
    return finish(value, code, result);
}

IPmsOid* pms_create_oid(std::int32_t* result) {
    auto* oid = create<CPmsOidValue>();
    if (oid == nullptr) return fail<IPmsOid>(result, kErrNoMemory);
    set_result(result, kOk);
    return oid;
}

IPmsOid* pms_create_oid_from_text(const char* text, std::int32_t* result) {
    IPmsValue* value = pms_create_value_from_text(text, pms_tag::kObjectIdentifier, result);
    return value != nullptr ? value->get_oid() : nullptr;
}
