#include "snmp/packet.h"

#include "common/allocation.h"
#include "common/ptr_list.h"
#include "common/result.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

CPmsSnmpPacket::~CPmsSnmpPacket() {
    if (pdu_ != nullptr) pdu_->release();
    if (target_ != nullptr) target_->release();
}

IPmsSnmpPacket* CPmsSnmpPacket::clone(std::int32_t* result) const {
    auto* copy = create<CPmsSnmpPacket>();
    if (copy == nullptr) return fail<IPmsSnmpPacket>(result, kErrNoMemory);
    std::int32_t code = kOk;
    if (pdu_ != nullptr) copy->pdu_ = pdu_->clone(&code);
    if (code == kOk && target_ != nullptr) copy->target_ = target_->clone(&code);
    if (code != kOk) {
        copy->release();
        return fail<IPmsSnmpPacket>(result, code);
    }
    set_result(result, kOk);
    return copy;
}

bool CPmsSnmpPacket::equals(const IPmsSnmpPacket* other) const {
    if (other == nullptr) return false;
    const IPmsPdu* their_pdu = other->get_pdu();
    const IPmsSnmpTarget* their_target = other->get_target();
    const bool pdus_equal = pdu_ == nullptr ? their_pdu == nullptr : pdu_->equals(their_pdu);
    const bool targets_equal = target_ == nullptr ? their_target == nullptr : target_->equals(their_target);
    return pdus_equal && targets_equal;
}

void CPmsSnmpPacket::set_target(IPmsSnmpTarget* target) {
    if (target == target_) return;
    if (target_ != nullptr) target_->release();
    target_ = target;
}

void CPmsSnmpPacket::set_pdu(IPmsPdu* pdu) {
    if (pdu == pdu_) return;
    if (pdu_ != nullptr) pdu_->release();
    pdu_ = pdu;
}

IPmsSnmpTarget* CPmsSnmpPacket::take_target() {
    IPmsSnmpTarget* target = target_;
    target_ = nullptr;
    return target;
}

IPmsPdu* CPmsSnmpPacket::take_pdu() {
    IPmsPdu* pdu = pdu_;
    pdu_ = nullptr;
    return pdu;
}

IPmsSnmpPacket* pms_create_packet(std::int32_t* result) {
    auto* packet = create<CPmsSnmpPacket>();
    if (packet == nullptr) return fail<IPmsSnmpPacket>(result, kErrNoMemory);
    set_result(result, kOk);
    return packet;
}

IPmsSnmpPacketList* pms_create_packet_list(std::int32_t* result) {
    return create_releasing_list<IPmsSnmpPacket>(result);
}

IPmcPtrList<IPmsPdu>* pms_create_pdu_list(std::int32_t* result) { return create_releasing_list<IPmsPdu>(result); }
