#include "snmp/trans_stream_decoder.h"

#include <cstring>

#include "common/allocation.h"
#include "log/module_logger.h"
#include "snmp/ber_tags.h"
#include "snmp/oid_codec.h"
#include "snmp/oid_value.h"
#include "snmp/packet_buffer.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/trap_v1.h"
#include "snmp/value_factory.h"

using namespace tolv;
using tolv::log::snmp_logger;

namespace {
constexpr std::int32_t kHighestErrorStatus = 18;

std::int32_t refuse(const char* line) {
    snmp_logger().log(log_level::kError, "%s", line);
    return kErrDecode;
}

// The PDU type of a PDU tag, or -2 for a tag that is not a PDU.
std::int32_t pdu_type_of(std::uint8_t tag) {
    if (tag == ber::kTrapV2) return pms_pdu_type::kTrap;
    if (tag >= ber::kPduBase && tag <= ber::kReport) return tag - ber::kPduBase;
    return -2;
}
}  // namespace

std::int32_t CTransStreamDecoder::message(IPmsSnmpPacket* packet) {
    if (packet == nullptr || buffer_ == nullptr) return kErrBadArgument;
    const std::uint8_t* start = buffer_->cur();
    const std::uint8_t* end = buffer_->data() + buffer_->size();
    if (start == nullptr || start > end) return kErrDecode;
    reader_ = ber::Reader(start, end);

    std::uint8_t tag = 0;
    std::size_t length = 0;
    if (reader_.read_byte(&tag) != kOk || tag != ber::kSequence) return kErrDecode;
    if (reader_.read_length(&length) != kOk) return kErrDecode;
    const std::size_t available = static_cast<std::size_t>(end - start);
    const std::size_t header = reader_.consumed();
    if (length > available - header) {
        return refuse("decode error: lack of received packet. can't go on decoding any more.");
    }
    if (header + length < available) {
        snmp_logger().log(log_level::kInfo, "received packet is redundancy. be cut down.");
        reader_.set_end(start + header + length);
    }

    if (packet->get_target() == nullptr) {
        if (translate_type_ == pms_translate_type::kUnknown) {
            snmp_logger().log(log_level::kError, "decode error: unknown translate type.");
            return kErrBadArgument;
        }
        std::int32_t code = kOk;
        IPmsSnmpTarget* target = pms_create_target(translate_type_, &code);
        if (target == nullptr) return code;
        packet->set_target(target);
    }
    if (packet->get_pdu() == nullptr) {
        std::int32_t code = kOk;
        IPmsPdu* new_pdu = pms_create_pdu(&code);
        if (new_pdu == nullptr) return code;
        packet->set_pdu(new_pdu);
    }
    if (const std::int32_t code = packet->get_target()->accept(this); code != kOk) return code;
    return pdu(packet->get_pdu());
}

std::int32_t CTransStreamDecoder::header(IPmsCommunity* target) {
    std::uint32_t version = 0;
    if (read_number(ber::kInteger, &version) != kOk) return kErrDecode;
    if (version != pms_version::kV1 && version != pms_version::kV2c) {
        return refuse("decode error: unsupported snmp version.");
    }
    version_ = static_cast<std::int32_t>(version);
    target->set_version(version_);
    std::size_t length = 0;
    if (reader_.read_header(ber::kOctetString, &length) != kOk) return kErrDecode;
    const std::uint8_t* bytes = reader_.take(length);
    // The community is a text: it ends at the first NUL.
    char local[64];
    char* community = length < sizeof local ? local : static_cast<char*>(allocate(length + 1));
    if (community == nullptr) return kErrNoMemory;
    if (length != 0) std::memcpy(community, bytes, length);
    community[length] = '\0';
    const std::int32_t code = target->set_community(community);
    if (community != local) deallocate(community);
    return code;
}

std::int32_t CTransStreamDecoder::pdu(IPmsPdu* pdu) {
    std::uint8_t tag = 0;
    if (reader_.read_byte(&tag) != kOk) return kErrDecode;
    const std::int32_t type = pdu_type_of(tag);
    if (type < 0) return refuse("decode error: unknown pdu type.");
    pdu->set_type(type);
    std::size_t length = 0;
    if (reader_.read_length(&length) != kOk) return kErrDecode;
    if (length != reader_.remaining()) return refuse("decode error: pdu length is wrong.");

    std::int32_t code = kOk;
    if (type != pms_pdu_type::kTrap) {
        code = request_header(pdu);
    } else if (version_ == pms_version::kV1) {
        code = trap_v1_header(pdu);
    } else {
        code = trap_v2_header(pdu);
    }
    if (code != kOk || header_only_) return code;

    IPmsVarBindList* list = pdu->get_bindings();
    if (list == nullptr) {
        list = pms_create_varbind_list(&code);
        if (list == nullptr) return code;
        pdu->set_bindings(list);
    }
    if (code = varbind_list(list); code != kOk) return code;
    if (type != pms_pdu_type::kTrap && pdu->get_error_status() != 0) {
        list->set_error(pdu->get_error_status(), static_cast<std::uint32_t>(pdu->get_error_index()));
    } else {
        list->set_status(0);
    }
    return kOk;
}

std::int32_t CTransStreamDecoder::request_header(IPmsPdu* pdu) {
    std::uint32_t request_id = 0;
    std::uint32_t error_status = 0;
    std::uint32_t error_index = 0;
    if (read_number(ber::kInteger, &request_id) != kOk) return kErrDecode;
    pdu->set_request_id(static_cast<std::int32_t>(request_id));
    if (read_number(ber::kInteger, &error_status) != kOk) return kErrDecode;
    if (static_cast<std::int32_t>(error_status) < 0 || static_cast<std::int32_t>(error_status) > kHighestErrorStatus) {
        return refuse("decode error: error_status's value is wrong.");
    }
    pdu->set_error_status(static_cast<std::int32_t>(error_status));
    if (read_number(ber::kInteger, &error_index) != kOk) return kErrDecode;
    pdu->set_error_index(static_cast<std::int32_t>(error_index));
    return kOk;
}

std::int32_t CTransStreamDecoder::trap_v1_header(IPmsPdu* pdu) {
    std::int32_t code = kOk;
    IPmsOid* trap_oid = pdu->get_trap_oid();
    if (trap_oid == nullptr) {
        trap_oid = pms_create_oid(&code);
        if (trap_oid == nullptr) return code;
        pdu->set_trap_oid(trap_oid->as_value());
    }
    if (code = read_oid(trap_oid); code != kOk) return code;
    std::size_t length = 0;  // agent-addr: read and dropped
    if (reader_.read_header(ber::kIpAddress, &length) != kOk || reader_.take(length) == nullptr) return kErrDecode;
    std::uint32_t generic = 0;
    std::uint32_t specific = 0;
    if (read_number(ber::kInteger, &generic) != kOk || read_number(ber::kInteger, &specific) != kOk) {
        return kErrDecode;
    }
    if (code = make_trap_oid(trap_oid, static_cast<std::int32_t>(generic), static_cast<std::int32_t>(specific));
        code != kOk) {
        return code;
    }
    IPmsValue* timestamp = pdu->get_timestamp();
    if (timestamp == nullptr) {
        timestamp = pms_create_value(pms_tag::kTimeTicks, &code);
        if (timestamp == nullptr) return code;
        pdu->set_timestamp(timestamp);
    }
    return read_unsigned(timestamp);
}

std::int32_t CTransStreamDecoder::varbind_list(IPmsVarBindList* list) {
    std::uint8_t tag = 0;
    std::size_t length = 0;
    if (reader_.read_byte(&tag) != kOk || tag != ber::kSequence) return kErrDecode;
    if (reader_.read_length(&length) != kOk) return kErrDecode;
    if (length != reader_.remaining()) return refuse("decode error: length of var bind list is wrong.");
    std::uint32_t index = 0;
    while (!reader_.at_end()) {
        IPmsVarBind* binding = list->get(index);
        if (binding == nullptr) {
            std::int32_t code = kOk;
            binding = pms_create_varbind(&code);
            if (binding == nullptr) return code;
            if (code = list->append(binding); code != kOk) {
                binding->release();
                return code;
            }
        }
        if (const std::int32_t code = varbind(binding); code != kOk) return code;
        ++index;
    }
    while (list->get_count() > index) list->remove(list->get_count() - 1, nullptr);
    return kOk;
}

std::int32_t CTransStreamDecoder::varbind(IPmsVarBind* binding) {
    std::uint8_t tag = 0;
    std::size_t length = 0;
    if (reader_.read_byte(&tag) != kOk || tag != ber::kSequence) return kErrDecode;
    if (reader_.read_length(&length) != kOk) return kErrDecode;
    const std::size_t before = reader_.consumed();

    std::int32_t code = kOk;
    IPmsOid* name = binding->get_oid();
    if (name == nullptr) {
        name = pms_create_oid(&code);
        if (name == nullptr) return code;
        binding->set_oid(name);
    }
    if (code = read_oid(name); code != kOk) return code;

    std::uint8_t value_tag = 0;
    if (reader_.peek_byte(&value_tag) != kOk) return kErrDecode;
    if (!ber::is_binding_value_tag(value_tag)) return refuse("decode error: unknown asn type.");
    IPmsValue* value = binding->get_value();
    if (value == nullptr || value->get_type() != value_tag) {
        value = pms_create_value(value_tag, &code);
        if (value == nullptr) return code;
        binding->set_value(value);
    }
    if (code = value->accept(this); code != kOk) return code;
    if (reader_.consumed() - before != length) return refuse("decode error: length of var bind is wrong.");
    return kOk;
}

std::int32_t CTransStreamDecoder::read_number(std::uint8_t tag, std::uint32_t* out) {
    std::size_t length = 0;
    if (reader_.read_header(tag, &length) != kOk) return kErrDecode;
    const std::uint8_t* bytes = reader_.take(length);
    if (bytes == nullptr) return kErrDecode;
    if (length == 0) {
        *out = 0;
        return kOk;
    }
    if (length == 5 && bytes[0] != 0x00) return kErrDecode;
    std::uint32_t value = (bytes[0] & 0x80) ? 0xFFFFFFFFu : 0;  // sign extension
    for (std::size_t i = 0; i < length; ++i) value = (value << 8) | bytes[i];
    *out = value;
    return kOk;
}

std::int32_t CTransStreamDecoder::read_unsigned(IPmsValue* value) {
    std::uint32_t number = 0;
    if (read_number(static_cast<std::uint8_t>(value->get_type()), &number) != kOk) return kErrDecode;
    return value->set_uint32(number);
}

std::int32_t CTransStreamDecoder::visit_integer(IPmsValue* value) {
    std::uint32_t number = 0;
    if (read_number(ber::kInteger, &number) != kOk) return kErrDecode;
    return value->set_int32(static_cast<std::int32_t>(number));
}

std::int32_t CTransStreamDecoder::visit_counter64(IPmsValue* value) {
    std::size_t length = 0;
    const std::uint8_t* bytes = nullptr;
    if (reader_.read_header(static_cast<std::uint8_t>(value->get_type()), &length) != kOk ||
        (bytes = reader_.take(length)) == nullptr) {
        return refuse("decode error: counter64 format is wrong.");
    }
    // The last four bytes are the low half, all before them the high half.
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    const std::size_t split = length > 4 ? length - 4 : 0;
    for (std::size_t i = 0; i < split; ++i) high = (high << 8) | bytes[i];
    for (std::size_t i = split; i < length; ++i) low = (low << 8) | bytes[i];
    value->set_high32(high);
    return value->set_low32(low);
}

std::int32_t CTransStreamDecoder::visit_octets(IPmsValue* value) {
    std::size_t length = 0;
    if (reader_.read_header(static_cast<std::uint8_t>(value->get_type()), &length) != kOk) return kErrDecode;
    const std::uint8_t* bytes = reader_.take(length);
    if (bytes == nullptr) return kErrDecode;
    return value->set_bytes(bytes, static_cast<std::uint32_t>(length));
}

std::int32_t CTransStreamDecoder::read_empty(IPmsValue* value) {
    std::size_t length = 0;
    if (reader_.read_header(static_cast<std::uint8_t>(value->get_type()), &length) != kOk || length != 0) {
        return kErrDecode;
    }
    return kOk;
}

std::int32_t CTransStreamDecoder::visit_oid(IPmsValue* value) {
    IPmsOid* oid = value->get_oid();
    return oid ? read_oid(oid) : kErrBadArgument;
}

std::int32_t CTransStreamDecoder::read_oid(IPmsOid* oid) {
    std::size_t length = 0;
    if (reader_.read_header(ber::kObjectIdentifier, &length) != kOk) return kErrDecode;
    const std::uint8_t* content = reader_.take(length);
    if (content == nullptr) return kErrDecode;
    if (CPmsOidValue* ours = CPmsOidValue::of(oid); ours != nullptr) {
        const std::int32_t code = ours->decode_from(content, length);
        return code == kErrDecode ? refuse("decode error. oid format is wrong.") : code;
    }
    // Another implementation of IPmsOid: through its text.
    char* text = static_cast<char*>(allocate(ber::oid_text_room(length)));
    if (text == nullptr) return kErrNoMemory;
    const long written = ber::read_oid_content(content, length, text, nullptr);
    const std::int32_t code = written < 0 ? refuse("decode error. oid format is wrong.")
                                          : oid->as_value()->set_bytes(text, static_cast<std::uint32_t>(written));
    deallocate(text);
    return code;
}
