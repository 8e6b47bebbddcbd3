#include "session/session_dispatcher.h"

#include "common/result.h"
#include "log/module_logger.h"
#include "session/request_session.h"
#include "session/v3_request_session.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;


SessionDispatcher::~SessionDispatcher() {
    if (v3_session_ != nullptr) v3_session_->release();
    if (community_session_ != nullptr) community_session_->release();
}

std::int32_t SessionDispatcher::select(const IPmsSnmpTarget* target, IPmsSession** out) {
    if (target == nullptr) return kErrBadArgument;
    const std::int32_t model = target->get_security_model();
    const std::int32_t version = target->get_version();
    IPmsSession** slot = nullptr;
    if (model == pms_security_model::kCommunity && (version == pms_version::kV1 || version == pms_version::kV2c)) {
        slot = &community_session_;
    } else if (model == pms_security_model::kUsm && version == pms_version::kV3) {
        slot = &v3_session_;
    } else {
        return kErrBadArgument;
    }
    if (*slot == nullptr) {
        std::lock_guard guard(lock_);
        if (*slot == nullptr) {
            *slot = slot == &community_session_ ? pms_create_request_session(nullptr)
                                                : pms_create_v3_request_session(nullptr);
        }
        if (*slot == nullptr) return kErrNoMemory;
    }
    *out = *slot;
    return kOk;
}

std::int32_t SessionDispatcher::send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) {
    if (pdu == nullptr || target == nullptr) return kErrBadArgument;
    IPmsSession* session = nullptr;
    if (const std::int32_t code = select(target, &session); code != kOk) return code;
    return session->send_sync(pdu, target);
}

std::int32_t SessionDispatcher::send_sync(IPmsSnmpPacket* packet) {
    if (packet == nullptr) return kErrBadArgument;
    IPmsSession* session = nullptr;
    if (const std::int32_t code = select(packet->get_target(), &session); code != kOk) return code;
    return session->send_sync(packet);
}

std::int32_t SessionDispatcher::send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) {
    if (packet == nullptr) return kErrBadArgument;
    IPmsSession* session = nullptr;
    if (const std::int32_t code = select(packet->get_target(), &session); code != kOk) return code;
    return session->send_broad_cast_sync(packet, out);
}

std::int32_t SessionDispatcher::send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) {
    log::TraceScope trace(log::snmp_logger(), "SessionDispatcher::send_broad_cast_sync");
    if (pdu == nullptr || target == nullptr || out == nullptr) return kErrBadArgument;
    IPmsSession* session = nullptr;
    if (const std::int32_t code = select(target, &session); code != kOk) return code;
    return session->send_broad_cast_sync(pdu, target, out);
}

IPmsSession* pms_create_session_dispatcher(std::int32_t* result) {
    auto* dispatcher = create<SessionDispatcher>();
    if (dispatcher == nullptr) return fail<IPmsSession>(result, kErrNoMemory);
    set_result(result, kOk);
    return dispatcher;
}
