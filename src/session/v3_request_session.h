// v3RequestSession: SNMPv3 requests with the user-based security model,
// carried by the Net-SNMP library. Each exchange opens a library session
// for the USM target, sends the request, reads the answer back into the
// caller's PDU and target, and closes the session; the library forgets the
// user, its engine ID and engine time again afterwards. Exchanges on other
// threads go on while one waits for its answer.
#pragma once

#include "common/allocation.h"
#include "session/session.h"

namespace tolv::netsnmp {
class LibraryUse;
}

class v3RequestSession final : public IPmsSession, public tolv::PooledObject {
public:
    void release() override { delete this; }
    std::int32_t send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) override;
    std::int32_t send_sync(IPmsSnmpPacket* packet) override;
    std::int32_t send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) override;
    std::int32_t send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) override;

private:
    std::int32_t send_sync_internal(IPmsPdu* pdu, IPmsSnmpTarget* target, tolv::netsnmp::LibraryUse* library);
};

IPmsSession* pms_create_v3_request_session(std::int32_t* result);
