// CTransStreamDecoder: reads one SNMPv1/v2c message into a packet's target
// and PDU, checking every tag and length.
#pragma once

#include "common/allocation.h"
#include "snmp/ber_reader.h"
#include "snmp/translator.h"
#include "tolvcomm/result_codes.h"
#include "tolvcomm/value.h"

class CTransStreamDecoder final : public IPmsTranslator, public IPmsValueVisitor, public tolv::PooledObject {
public:
    std::int32_t header(IPmsCommunity* target) override;
    std::int32_t v3_header(IPmsUsm*) override { return tolv::kErrNotSupported; }
    void release() override { delete this; }
    std::int32_t message(IPmsSnmpPacket* packet) override;
    std::int32_t pdu(IPmsPdu* pdu) override;
    std::int32_t varbind_list(IPmsVarBindList* list) override;
    std::int32_t varbind(IPmsVarBind* binding) override;
    std::int32_t request_header(IPmsPdu* pdu) override;
    std::int32_t trap_v1_header(IPmsPdu* pdu) override;
    std::int32_t trap_v2_header(IPmsPdu*) override { return tolv::kErrNotSupported; }
    void set_buffer(IPmsPacketBuffer* buffer) override { buffer_ = buffer; }
    void set_translate_type(std::int32_t type) override { translate_type_ = type; }
    void set_header_only(bool header_only) override { header_only_ = header_only; }
    std::uint32_t encoded_count() const override { return 0; }

    std::int32_t visit_oid(IPmsValue* value) override;
    std::int32_t visit_octets(IPmsValue* value) override;
    std::int32_t visit_integer(IPmsValue* value) override;
    std::int32_t visit_null(IPmsValue* value) override { return read_empty(value); }
    std::int32_t visit_counter32(IPmsValue* value) override { return read_unsigned(value); }
    std::int32_t visit_gauge32(IPmsValue* value) override { return read_unsigned(value); }
    std::int32_t visit_timeticks(IPmsValue* value) override { return read_unsigned(value); }
    std::int32_t visit_counter64(IPmsValue* value) override;
    std::int32_t visit_ip_address(IPmsValue* value) override { return visit_octets(value); }
    std::int32_t visit_ipv6_address(IPmsValue* value) override { return visit_octets(value); }
    std::int32_t visit_udp_address(IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t visit_ipx_address(IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t visit_exception(IPmsValue* value) override { return read_empty(value); }

private:
    // An INTEGER-shaped element of the tag: sign-extended, low 32 bits kept.
    std::int32_t read_number(std::uint8_t tag, std::uint32_t* out);
    std::int32_t read_unsigned(IPmsValue* value);
    std::int32_t read_empty(IPmsValue* value);
    std::int32_t read_oid(IPmsOid* oid);

    IPmsPacketBuffer* buffer_ = nullptr;
    std::int32_t version_ = -1;
    std::int32_t translate_type_ = -1;
    bool header_only_ = false;
    tolv::ber::Reader reader_{nullptr, nullptr};
};
