// CTransStreamEncoder: writes one SNMPv1/v2c message backwards into a
// buffer of the target's maximum message size.
#pragma once

#include "common/allocation.h"
#include "snmp/ber_writer.h"
#include "snmp/translator.h"
#include "tolvcomm/result_codes.h"
#include "tolvcomm/value.h"

class CTransStreamEncoder final : public IPmsTranslator, public IPmsValueVisitor, public tolv::PooledObject {
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
    void set_translate_type(std::int32_t) override {}
    void set_header_only(bool) override {}
    std::uint32_t encoded_count() const override { return encoded_; }

    std::int32_t visit_oid(IPmsValue* value) override;
    std::int32_t visit_octets(IPmsValue* value) override;
    std::int32_t visit_integer(IPmsValue* value) override;
    std::int32_t visit_null(IPmsValue* value) override;
    std::int32_t visit_counter32(IPmsValue* value) override { return put_unsigned(value); }
    std::int32_t visit_gauge32(IPmsValue* value) override { return put_unsigned(value); }
    std::int32_t visit_timeticks(IPmsValue* value) override { return put_unsigned(value); }
    std::int32_t visit_counter64(IPmsValue* value) override;
    std::int32_t visit_ip_address(IPmsValue* value) override { return visit_octets(value); }
    std::int32_t visit_ipv6_address(IPmsValue* value) override { return visit_octets(value); }
    std::int32_t visit_udp_address(IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t visit_ipx_address(IPmsValue*) override { return tolv::kErrNotSupported; }
    std::int32_t visit_exception(IPmsValue* value) override;

private:
    std::int32_t put_unsigned(IPmsValue* value);
    // Writes an OID from its text; *content (when given) receives where its
    // content bytes start.
    std::int32_t put_oid_text(const char* text, std::size_t length, const std::uint8_t** content = nullptr);

    IPmsPacketBuffer* buffer_ = nullptr;
    std::int32_t version_ = -1;
    std::uint32_t encoded_ = 0;
    tolv::ber::Writer writer_{nullptr, 0};
};
