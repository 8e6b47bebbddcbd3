#include "snmp/value_base.h"

#include "common/byte_string.h"
#include "common/result.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

void CPmsValueBase::release() { delete this; }

IPmsValue* CPmsValueBase::clone(std::int32_t* result) const {
    IPmsValue* copy = pms_create_value(tag_, result);
    if (copy == nullptr) return nullptr;
    const std::int32_t code = copy->assign(this);
    if (code != kOk) {
        copy->release();
        return fail<IPmsValue>(result, code);
    }
    return copy;
}

bool CPmsValueBase::is_type_part(std::uint32_t id) const {
    return id == pms_value_id::kTypePartBase + static_cast<std::uint32_t>(tag_);
}

std::int32_t CPmsValueBase::query_interface(std::int32_t id, void** out) {
    void* part = nullptr;
    const auto unsigned_id = static_cast<std::uint32_t>(id);
    if (id == pms_value_id::kValueInterface) {
        part = static_cast<IPmsValue*>(this);
    } else if (unsigned_id == pms_value_id::kBasePart || is_type_part(unsigned_id)) {
        part = this;
    } else if (id == pms_value_id::kOidPart) {
        part = get_oid();
    }
    if (out != nullptr) *out = part;
    return part != nullptr ? kOk : kErrBadArgument;
}

std::int32_t CPmsValueBase::get_int32(std::int32_t* result) const {
    set_result(result, kErrNotSupported);
    return -1;
}

std::uint32_t CPmsValueBase::get_uint32(std::int32_t* result) const {
    set_result(result, kErrNotSupported);
    return 0xFFFFFFFFu;
}

IPmcByteString* CPmsValueBase::to_text(std::int32_t* result) const {
    IPmcByteString* text = pmc_create_byte_string(result);
    if (text == nullptr) return nullptr;
    const std::int32_t code = to_text(text);
    if (code != kOk) {
        text->release();
        return fail<IPmcByteString>(result, code);
    }
    return text;
}

std::int32_t CPmsValueBase::to_text(IPmcByteString*) const { return kErrNotSupported; }

const std::uint8_t* CPmsValueBase::get_bytes(std::uint32_t*, std::int32_t* result) const {
    return fail<const std::uint8_t>(result, kErrNotSupported);
}

IPmcByteString* CPmsValueBase::to_bytes(std::int32_t* result) const {
    IPmcByteString* bytes = pmc_create_byte_string(result);
    if (bytes == nullptr) return nullptr;
    const std::int32_t code = to_bytes(bytes);
    if (code != kOk) {
        bytes->release();
        return fail<IPmcByteString>(result, code);
    }
    return bytes;
}

std::int32_t CPmsValueBase::to_bytes(IPmcByteString* out) const {
    if (out == nullptr) return kErrBadArgument;
    std::uint32_t length = 0;
    std::int32_t code = kOk;
    const std::uint8_t* bytes = get_bytes(&length, &code);
    if (code != kOk) return code;
    return out->set(bytes, length);
}

std::uint16_t CPmsValueBase::get_uint16(std::int32_t* result) const {
    set_result(result, kErrNotSupported);
    return 0xFFFF;
}

std::uint32_t CPmsValueBase::get_high32(std::int32_t* result) const {
    set_result(result, kErrNotSupported);
    return 0xFFFFFFFFu;
}

std::uint32_t CPmsValueBase::get_low32(std::int32_t* result) const {
    set_result(result, kErrNotSupported);
    return 0xFFFFFFFFu;
}

std::int32_t CPmsValueBase::set_int32(std::int32_t) { return kErrNotSupported; }
std::int32_t CPmsValueBase::set_uint32(std::uint32_t) { return kErrNotSupported; }
std::int32_t CPmsValueBase::set_text(const char*) { return kErrNotSupported; }

std::int32_t CPmsValueBase::set_text(const IPmcByteString* text) {
    if (text == nullptr) return kErrBadArgument;
    return set_text(text->get_data());
}

std::int32_t CPmsValueBase::set_bytes(const void*, std::uint32_t) { return kErrNotSupported; }

std::int32_t CPmsValueBase::set_bytes(const IPmcByteString* bytes) {
    if (bytes == nullptr) return kErrBadArgument;
    return set_bytes(bytes->get_data(), bytes->get_length());
}

std::int32_t CPmsValueBase::set_uint16(std::uint16_t) { return kErrNotSupported; }
std::int32_t CPmsValueBase::set_high32(std::uint32_t) { return kErrNotSupported; }
std::int32_t CPmsValueBase::set_low32(std::uint32_t) { return kErrNotSupported; }

std::uint32_t CPmsValueBase::get_index_length(std::int32_t) const { return get_count(); }

std::uint32_t CPmsValueBase::get_element(std::uint32_t, std::int32_t* result) const {
    set_result(result, kErrNotSupported);
    return 0xFFFFFFFFu;
}

std::int32_t CPmsValueBase::append_index(IPmsOid*, std::int32_t) const { return kErrNotSupported; }

std::int32_t CPmsValueBase::to_index(IPmsOid* oid, std::int32_t implied) const {
    if (!has_index_form()) return kErrNotSupported;
    if (oid == nullptr) return kErrBadArgument;
    oid->as_value()->clear();
    return append_index(oid, implied);
}

std::int32_t CPmsValueBase::from_index(const IPmsOid*, std::int32_t, std::int32_t) { return kErrNotSupported; }
