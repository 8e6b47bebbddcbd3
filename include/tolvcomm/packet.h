// IPmsSnmpPacket: one PDU with its target.
#pragma once

#include <cstdint>

#include "tolvcomm/pdu.h"
#include "tolvcomm/target.h"

class IPmsSnmpPacket {
public:
    virtual void release() = 0;
    virtual IPmsSnmpPacket* clone(std::int32_t* result) const = 0;
    virtual bool equals(const IPmsSnmpPacket* other) const = 0;
    virtual void set_target(IPmsSnmpTarget* target) = 0;
    virtual void set_pdu(IPmsPdu* pdu) = 0;
    virtual IPmsSnmpTarget* take_target() = 0;
    virtual IPmsPdu* take_pdu() = 0;
    virtual IPmsSnmpTarget* get_target() const = 0;
    virtual IPmsPdu* get_pdu() const = 0;
    virtual ~IPmsSnmpPacket() = default;
};
