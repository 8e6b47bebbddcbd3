// SessionDispatcher: the entry to the sessions. It hands community targets
// of SNMPv1/v2c to a RequestSession and USM targets of SNMPv3 to the SNMPv3
// session, creating each on first need.
#pragma once

#include <mutex>

#include "common/allocation.h"
#include "session/session.h"

class SessionDispatcher final : public IPmsSession, public tolv::PooledObject {
public:
    SessionDispatcher() = default;
    ~SessionDispatcher() override;
    SessionDispatcher(const SessionDispatcher&) = delete;
    SessionDispatcher& operator=(const SessionDispatcher&) = delete;

    void release() override { delete this; }
    std::int32_t send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) override;
    std::int32_t send_sync(IPmsSnmpPacket* packet) override;
    std::int32_t send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) override;
    std::int32_t send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) override;

private:
    // The session for the target: -2 for a combination of security model
    // and version that no session carries, -3 when it cannot be made.
    std::int32_t select(const IPmsSnmpTarget* target, IPmsSession** out);

    IPmsSession* community_session_ = nullptr;
    IPmsSession* v3_session_ = nullptr;
    std::mutex lock_;
};

IPmsSession* pms_create_session_dispatcher(std::int32_t* result);
