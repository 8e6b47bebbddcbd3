// RequestSession: SNMPv1/v2c exchanges with the library's own codec over a
// DataGramSocket. One exchange sends one request, waits for the answer with
// the same request-id (trying again when nothing comes) and decodes it into
// the caller's PDU; a request that is too big is split over several requests
// whose answers are merged. The same class collects the answers to a
// broadcast request (broadcast_collection.cpp).
#pragma once

#include <cstdint>

#include "common/allocation.h"
#include "session/session.h"
#include "snmp/packet_buffer.h"

class DataGramSocket;

class RequestSession final : public IPmsSession, public tolv::PooledObject {
public:
    RequestSession() = default;
    ~RequestSession() override;
    RequestSession(const RequestSession&) = delete;
    RequestSession& operator=(const RequestSession&) = delete;

    void release() override { delete this; }
    std::int32_t send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) override;
    std::int32_t send_sync(IPmsSnmpPacket* packet) override;
    std::int32_t send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) override;
    std::int32_t send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) override;

    // The largest datagram UDP can carry: every answer fits.
    static constexpr std::uint32_t kReceiveCapacity = 65535;

private:
    std::int32_t open_socket(IPmsSnmpTarget* target);
    // One exchange and, when it asks for it, the splitting (send_sync step 3).
    std::int32_t exchange(IPmsPdu* pdu, IPmsSnmpTarget* target);
    std::int32_t send_and_receive(IPmsPdu* pdu, IPmsSnmpTarget* target, std::uint32_t* fragments);
    std::int32_t check_received_raw_packet(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsPacketBuffer* packet);
    std::int32_t fragment_process(IPmsPdu* pdu, IPmsSnmpTarget* target, std::uint32_t fragments);
    std::int32_t fragment_pdu(IPmsPdu* pdu, std::uint32_t fragments, IPmcPtrList<IPmsPdu>** out);
    // Encodes with a new request-id into `buffer`; *encoded receives the
    // number of bindings written.
    std::int32_t encode(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsPacketBuffer* buffer, std::uint32_t* encoded);
    // Receives one datagram into the session's buffer and lends it as
    // `packet`; *from is a new sender address.
    std::int32_t receive(std::int32_t timeout_ms, IPmsPacketBuffer* packet, IPmcNetworkAddress** from);
    // Broadcast: adds a packet for the answer of a new sender.
    std::int32_t add_answer(IPmsSnmpTarget* request_target, IPmsPacketBuffer* datagram, IPmcNetworkAddress* sender,
                            IPmsSnmpPacketList* list);

    DataGramSocket* socket_ = nullptr;
};

IPmsSession* pms_create_request_session(std::int32_t* result);
