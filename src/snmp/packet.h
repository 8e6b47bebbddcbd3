// CPmsSnmpPacket: a PDU and its target, each owned and each optional.
#pragma once

#include "common/allocation.h"
#include "tolvcomm/packet.h"
#include "tolvcomm/ptr_list.h"

class CPmsSnmpPacket final : public IPmsSnmpPacket, public tolv::PooledObject {
public:
    CPmsSnmpPacket() = default;
    ~CPmsSnmpPacket() override;
    CPmsSnmpPacket(const CPmsSnmpPacket&) = delete;
    CPmsSnmpPacket& operator=(const CPmsSnmpPacket&) = delete;

    void release() override { delete this; }
    IPmsSnmpPacket* clone(std::int32_t* result) const override;
    bool equals(const IPmsSnmpPacket* other) const override;
    void set_target(IPmsSnmpTarget* target) override;
    void set_pdu(IPmsPdu* pdu) override;
    IPmsSnmpTarget* take_target() override;
    IPmsPdu* take_pdu() override;
    IPmsSnmpTarget* get_target() const override { return target_; }
    IPmsPdu* get_pdu() const override { return pdu_; }

private:
    IPmsPdu* pdu_ = nullptr;
    IPmsSnmpTarget* target_ = nullptr;
};

IPmsSnmpPacket* pms_create_packet(std::int32_t* result);
IPmsSnmpPacketList* pms_create_packet_list(std::int32_t* result);
