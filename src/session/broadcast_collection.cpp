// RequestSession's broadcast collection: one request to a broadcast or
// multicast address, one packet for each device that answers within the
// time-out, over as many tries as the target's retries say.
#include <cstring>

#include "log/module_logger.h"
#include "platform/kernel.h"
#include "session/request_session.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/translator.h"
#include "snmp/translator_registry.h"
#include "tolvcomm/result_codes.h"
#include "transport/datagram_socket.h"

using namespace tolv;
using tolv::log::snmp_logger;

namespace {
constexpr const char kName[] = "RequestSession::send_broad_cast_sync";

// Failures of single datagrams in a row after which the socket itself is
// taken to be broken and the collection ends.
constexpr int kMaxFailuresInARow = 8;

// IPv4 and IPv6 answers are all taken; an IPX broadcast takes answers from
// its own network only, unless it went to network 00000000.
bool acceptable(const IPmcNetworkAddress* destination, const IPmcNetworkAddress* sender) {
    const IPmcNetworkAddress::EProtocol protocol = destination->protocol();
    if (protocol == IPmcNetworkAddress::IPv4 || protocol == IPmcNetworkAddress::IPv6) return true;
    const char* network = destination->text();
    return std::strncmp(network, "00000000", 8) == 0 || std::strncmp(network, sender->text(), 8) == 0;
}

// Whether a packet of the list comes from the sender (address equals).
std::int32_t search_new_packet(IPmsSnmpPacketList* list, const IPmcNetworkAddress* sender, bool* known) {
    std::int32_t code = kOk;
    IPmcPtrListIterator* it = list->create_iterator(&code);
    if (it == nullptr) return code;
    *known = false;
    for (IPmsSnmpPacket* packet = list->get_at(it); packet != nullptr; packet = list->get_at(list->next(it))) {
        const IPmcNetworkAddress* address = packet->get_target()->get_address();
        if (address != nullptr && address->equals(sender)) {
            *known = true;
            break;
        }
    }
    list->release_iterator(it);
    return kOk;
}
}  // namespace

std::int32_t RequestSession::send_broad_cast_sync(IPmsSnmpPacket* packet, IPmsSnmpPacketList** out) {
    if (packet == nullptr) return kErrBadArgument;
    return with_packet_parts(
        packet, [this, out](IPmsPdu* pdu, IPmsSnmpTarget* target) { return send_broad_cast_sync(pdu, target, out); });
}

std::int32_t RequestSession::add_answer(IPmsSnmpTarget* request_target, IPmsPacketBuffer* datagram,
                                        IPmcNetworkAddress* sender, IPmsSnmpPacketList* list) {
    std::int32_t code = kOk;
    IPmsSnmpTarget* target = pms_create_target(request_target->get_security_model(), &code);
    IPmsPdu* pdu = target ? pms_create_pdu(&code) : nullptr;
    IPmsSnmpPacket* packet = pdu ? pms_create_packet(&code) : nullptr;
    if (packet != nullptr) {
        packet->set_pdu(pdu);
        packet->set_target(target);
        code = pms_get_translator_registry()->decode(datagram, pdu, target, pms_translate_type::kCommunity);
        if (code == kOk) code = target->set_address(sender);
        if (code == kOk) {
            if (list->add_tail(packet) != kOk) packet->release();  // the answer is lost, the collection goes on
            return kOk;
        }
        packet->release();
        return code;
    }
    if (pdu != nullptr) pdu->release();
    if (target != nullptr) target->release();
    return code;
}

std::int32_t RequestSession::send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsSnmpPacketList** out) {
    tolv::log::TraceScope trace(snmp_logger(), kName);
    if (pdu == nullptr || target == nullptr || out == nullptr || target->get_address() == nullptr) {
        return kErrBadArgument;
    }
    if (const std::int32_t code = open_socket(target); code != kOk) return code;
    if (const std::int32_t code = socket_->set_broadcast(true); code != kOk) return code;
    CPmsPacketBuffer request;
    std::uint32_t encoded = 0;
    if (const std::int32_t code = encode(pdu, target, &request, &encoded); code != kOk) return code;
    std::int32_t result = kOk;
    IPmsSnmpPacketList* list = pms_create_packet_list(&result);
    if (list == nullptr) return result;

    IPmcNetworkAddress* destination = target->get_address();
    const std::int32_t timeout = target->get_timeout();
    const std::int32_t retries = target->get_retries();
    snmp_logger().log(log_level::kInfo, "broad cast: timeout= %d, retries=%d, destination=%s", timeout, retries,
                      destination->text());
    int failures_in_a_row = 0;
    for (std::uint32_t attempt = 0; attempt < static_cast<std::uint32_t>(retries) + 1; ++attempt) {
        snmp_logger().log(log_level::kDebug, "broad cast: try %d.", attempt);
        if (result = socket_->send(request.cur(), request.remaining(), destination); result != kOk) break;
        std::int32_t remaining = timeout;
        std::uint32_t tick = platform::tick_count();
        while (remaining > 0) {
            CPmsPacketBuffer datagram;
            IPmcNetworkAddress* sender = nullptr;
            result = receive(remaining, &datagram, &sender);
            if (result == kErrTimeout) break;
            if (result != kOk) {
                // One device's datagram that cannot be read is dropped; only a
                // socket that keeps failing ends the collection.
                if (++failures_in_a_row >= kMaxFailuresInARow) break;
                snmp_logger().log(log_level::kDebug, "broad cast: datagram dropped. error=%d.", result);
                result = kOk;
            } else {
                failures_in_a_row = 0;
                if (acceptable(destination, sender)) {
                    bool known = false;
                    if (const std::int32_t code = search_new_packet(list, sender, &known); code != kOk) {
                        snmp_logger().log(log_level::kError,
                                          "[RequestSession::send_broad_cast_sync] fail search_new_packet().");
                        result = code;
                    } else if (!known) {
                        snmp_logger().log(log_level::kDebug, "broad cast: receive from new address:%s", sender->text());
                        // An answer that cannot be decoded is dropped: the sender is
                        // not remembered and the collection goes on.
                        if (const std::int32_t code = add_answer(target, &datagram, sender, list); code != kOk) {
                            snmp_logger().log(log_level::kDebug, "broad cast: answer dropped. error=%d.", code);
                        }
                    }
                }
                sender->release();
                datagram.detach(nullptr);
                if (result != kOk) break;
            }
            const std::uint32_t now = platform::tick_count();
            remaining -= static_cast<std::int32_t>(now - tick);
            tick = now;
        }
        if (result != kOk && result != kErrTimeout) break;
    }
    if (result != kOk && result != kErrTimeout) {
        snmp_logger().log(log_level::kError, "broad cast: error=%d.", result);
        list->release();
        return result;
    }
    *out = list;
    return kOk;
}
