#include "snmp/trans_stream_encoder.h"

#include <cstring>

#include "log/module_logger.h"
#include "snmp/ber_tags.h"
#include "snmp/oid_codec.h"
#include "snmp/oid_value.h"
#include "snmp/packet_buffer.h"
#include "snmp/trap_v1.h"

using namespace tolv;
using tolv::log::snmp_logger;

std::int32_t CTransStreamEncoder::message(IPmsSnmpPacket* packet) {
    if (packet == nullptr || buffer_ == nullptr) return kErrBadArgument;
    IPmsSnmpTarget* target = packet->get_target();
    IPmsPdu* pdu_to_write = packet->get_pdu();
    if (target == nullptr || pdu_to_write == nullptr) return kErrBadArgument;
    version_ = target->get_version();
    const std::int32_t max_size = target->get_max_size();
    if (!buffer_->allocate(max_size > 0 ? static_cast<std::uint32_t>(max_size) : 0)) return kErrNoMemory;
    writer_ = ber::Writer(buffer_->data(), buffer_->size());
    const std::uint8_t* end = writer_.mark();

    if (const std::int32_t code = pdu(pdu_to_write); code != kOk) return code;
    if (const std::int32_t code = target->accept(this); code != kOk) return code;
    writer_.close(ber::kSequence, end);
    if (writer_.overflow()) return kErrRequestTooLarge;
    buffer_->set_cur(static_cast<std::uint32_t>(writer_.position() - buffer_->data()));
    return kOk;
}

std::int32_t CTransStreamEncoder::header(IPmsCommunity* target) {
    const char* community = target->get_community();
    const std::uint8_t* start = writer_.mark();
    if (community != nullptr) writer_.put_bytes(community, std::strlen(community));
    writer_.close(ber::kOctetString, start);
    writer_.put_integer(ber::kInteger, version_);
    return kOk;
}

std::int32_t CTransStreamEncoder::pdu(IPmsPdu* pdu) {
    const std::uint8_t* end = writer_.mark();
    IPmsVarBindList* bindings = pdu->get_bindings();
    if (bindings != nullptr) {
        if (const std::int32_t code = varbind_list(bindings); code != kOk) return code;
    } else {
        writer_.close(ber::kSequence, end);  // an empty list
    }
    const std::int32_t type = pdu->get_type();
    std::int32_t code = kOk;
    if (type != pms_pdu_type::kTrap) {
        code = request_header(pdu);
    } else if (version_ == pms_version::kV1) {
        code = trap_v1_header(pdu);
    } else {
        code = trap_v2_header(pdu);
    }
    if (code != kOk) return code;
    const bool v2_trap = type == pms_pdu_type::kTrap && version_ == pms_version::kV2c;
    writer_.close(v2_trap ? ber::kTrapV2 : static_cast<std::uint8_t>(ber::kPduBase + type), end);
    return kOk;
}

std::int32_t CTransStreamEncoder::varbind_list(IPmsVarBindList* list) {
    const std::uint8_t* end = writer_.mark();
    // From the last binding to the first: after an overflow the count says
    // how many bindings, counted from the end, fitted.
    for (std::uint32_t i = list->get_count(); i-- > 0;) {
        if (const std::int32_t code = varbind(list->get(i)); code != kOk) return code;
        if (writer_.overflow()) return kErrRequestTooLarge;
        ++encoded_;
    }
    writer_.close(ber::kSequence, end);
    return kOk;
}

std::int32_t CTransStreamEncoder::varbind(IPmsVarBind* binding) {
    const std::uint8_t* end = writer_.mark();
    if (IPmsValue* value = binding->get_value(); value != nullptr) {
        if (const std::int32_t code = value->accept(this); code != kOk) return code;
    } else {
        writer_.put_byte(0);
        writer_.put_byte(ber::kNull);
    }
    IPmsOid* name = binding->get_oid();
    if (name == nullptr) return kErrBadArgument;
    if (const std::int32_t code = visit_oid(name->as_value()); code != kOk) return code;
    writer_.close(ber::kSequence, end);
    return kOk;
}

std::int32_t CTransStreamEncoder::request_header(IPmsPdu* pdu) {
    writer_.put_integer(ber::kInteger, pdu->get_error_index());
    writer_.put_integer(ber::kInteger, pdu->get_error_status());
    writer_.put_integer(ber::kInteger, pdu->get_request_id());
    return kOk;
}

std::int32_t CTransStreamEncoder::trap_v1_header(IPmsPdu* pdu) {
    TrapV1Fields fields;
    if (const std::int32_t code = trap_v1_fields_of(pdu, &fields); code != kOk) return code;
    visit_timeticks(pdu->get_timestamp());
    writer_.put_integer(ber::kInteger, fields.specific);
    writer_.put_integer(ber::kInteger, fields.generic);
    static const std::uint8_t kAnyAgent[4] = {0, 0, 0, 0};  // agent-addr 0.0.0.0
    writer_.put_bytes(kAnyAgent, sizeof kAnyAgent);
    writer_.put_length(sizeof kAnyAgent);
    writer_.put_byte(ber::kIpAddress);
    const std::int32_t code = visit_oid(fields.enterprise->as_value());
    fields.enterprise->release();
    return code;
}

std::int32_t CTransStreamEncoder::put_oid_text(const char* text, std::size_t length, const std::uint8_t** content) {
    const std::uint8_t* end = writer_.mark();
    const std::int32_t code = ber::put_oid_content(writer_, text, length);
    if (code == kErrBadArgument) {
        snmp_logger().log(log_level::kError, "encode error:oid size is 1.");
        return code;
    }
    if (code != kOk) return code;
    if (content != nullptr) *content = writer_.position();
    writer_.close(ber::kObjectIdentifier, end);
    return kOk;
}

std::int32_t CTransStreamEncoder::visit_oid(IPmsValue* value) {
    if (const auto* ours = CPmsOidValue::of(value); ours != nullptr) {
        std::size_t known = 0;
        const std::uint8_t* end = writer_.mark();
        if (const std::uint8_t* content = ours->encoded(&known); content != nullptr) {
            writer_.put_bytes(content, known);
            writer_.close(ber::kObjectIdentifier, end);
            return kOk;
        }
        const std::uint8_t* content = nullptr;
        const std::int32_t code = put_oid_text(ours->text(), ours->text_length(), &content);
        if (code == kOk && !writer_.overflow()) ours->remember_encoded(content, static_cast<std::size_t>(end - content));
        return code;
    }
    std::uint32_t length = 0;
    const auto* text = reinterpret_cast<const char*>(value->get_bytes(&length, nullptr));
    return put_oid_text(text ? text : "", text ? length : 0);
}

std::int32_t CTransStreamEncoder::visit_octets(IPmsValue* value) {
    std::uint32_t length = 0;
    const std::uint8_t* bytes = value->get_bytes(&length, nullptr);
    writer_.put_bytes(bytes, bytes ? length : 0);
    writer_.put_length(bytes ? length : 0);
    writer_.put_byte(static_cast<std::uint8_t>(value->get_type()));
    return kOk;
}

std::int32_t CTransStreamEncoder::visit_integer(IPmsValue* value) {
    writer_.put_integer(ber::kInteger, value->get_int32(nullptr));
    return kOk;
}

std::int32_t CTransStreamEncoder::visit_null(IPmsValue*) {
    writer_.put_byte(0);
    writer_.put_byte(ber::kNull);
    return kOk;
}

std::int32_t CTransStreamEncoder::put_unsigned(IPmsValue* value) {
    writer_.put_unsigned(static_cast<std::uint8_t>(value->get_type()), value->get_uint32(nullptr));
    return kOk;
}

std::int32_t CTransStreamEncoder::visit_counter64(IPmsValue* value) {
    const std::uint32_t high = value->get_high32(nullptr);
    const std::uint32_t low = value->get_low32(nullptr);
    if (high == 0) {
        writer_.put_unsigned(static_cast<std::uint8_t>(value->get_type()), low);
        return kOk;
    }
    // The high part in its fewest bytes, then all four low bytes.
    const std::uint8_t* end = writer_.mark();
    const std::uint8_t low_bytes[4] = {static_cast<std::uint8_t>(low >> 24), static_cast<std::uint8_t>(low >> 16),
                                       static_cast<std::uint8_t>(low >> 8), static_cast<std::uint8_t>(low)};
    writer_.put_bytes(low_bytes, sizeof low_bytes);
    writer_.put_unsigned_content(high);
    writer_.close(static_cast<std::uint8_t>(value->get_type()), end);
    return kOk;
}

std::int32_t CTransStreamEncoder::visit_exception(IPmsValue* value) {
    writer_.put_byte(0);
    writer_.put_byte(static_cast<std::uint8_t>(value->get_type()));
    return kOk;
}
