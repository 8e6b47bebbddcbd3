// IPmsTranslator: one run of the codec (an encoder or a decoder). A target
// calls header() or v3_header() from its accept(), so that each kind of
// target chooses the message header that belongs to it.
#pragma once

#include <cstdint>

#include "tolvcomm/packet.h"

class IPmsPacketBuffer;

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
    // Added after the fixed slots: how the registry hands a run its input.
    virtual void set_buffer(IPmsPacketBuffer* buffer) = 0;
    virtual void set_translate_type(std::int32_t type) = 0;  // decoder: kind of target to make
    virtual void set_header_only(bool header_only) = 0;      // decoder: stop after the PDU header
    virtual std::uint32_t encoded_count() const = 0;         // encoder: bindings written
};

// The kinds of target a decoder makes for a packet that has none.
namespace pms_translate_type {
inline constexpr std::int32_t kUnknown = -1;
inline constexpr std::int32_t kCommunity = 0;
}  // namespace pms_translate_type
