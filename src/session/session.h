// IPmsSession: one request/response exchange (with splitting where needed)
// or one broadcast collection. RequestSession, v3RequestSession and the
// SessionDispatcher in front of them implement it.
#pragma once

#include <cstdint>

#include "tolvcomm/packet.h"
#include "tolvcomm/ptr_list.h"

class IPmsSession {
public:
    virtual void release() = 0;
    virtual std::int32_t send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) = 0;
    virtual std::int32_t send_sync(IPmsSnmpPacket* packet) = 0;
    virtual std::int32_t send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) = 0;
    virtual std::int32_t send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) = 0;
    virtual ~IPmsSession() = default;
};

// Runs a PDU/target operation on the PDU and target of a packet, and puts
// both back into the packet whatever the result.
template <class Operation>
std::int32_t with_packet_parts(IPmsSnmpPacket* packet, Operation operation) {
    IPmsPdu* pdu = packet->take_pdu();
    IPmsSnmpTarget* target = packet->take_target();
    const std::int32_t result = operation(pdu, target);
    packet->set_pdu(pdu);
    packet->set_target(target);
    return result;
}
