// IPmsTranslator: one run of the codec (an encoder or a decoder). A target
// calls header() or v3_header() from its accept(), so that each kind of
// target chooses the message header that belongs to it.
#pragma once

#include <cstdint>

#include "tolvcomm/packet.h"

class IPmsTranslator {
public:
    virtual std::int32_t header(IPmsCommunity* target) = 0;  // SNMPv1/v2c version and community
    virtual std::int32_t v3_header(IPmsUsm* target) = 0;
    virtual ~IPmsTranslator() = default;
    virtual void release() = 0;
    virtual std::int32_t message(IPmsSnmpPacket* packet) = 0;
    virtual std::int32_t pdu(IPmsPdu* pdu) = 0;
    virtual std::int32_t varbind_list(IPmsVarBindList* list) = 0;
    virtual std::int32_t varbind(IPmsVarBind* binding) = 0;
    virtual std::int32_t request_header(IPmsPdu* pdu) = 0;
    virtual std::int32_t trap_v1_header(IPmsPdu* pdu) = 0;
    virtual std::int32_t trap_v2_header(IPmsPdu* pdu) = 0;
};
