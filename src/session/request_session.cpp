#include "session/request_session.h"

#include "common/result.h"
#include "log/module_logger.h"
#include "platform/kernel.h"
#include "session/request_id.h"
#include "snmp/packet_buffer.h"
#include "snmp/pdu.h"
#include "snmp/translator.h"
#include "snmp/translator_registry.h"
#include "tolvcomm/result_codes.h"
#include "transport/datagram_socket.h"

using namespace tolv;
using tolv::log::snmp_logger;

namespace {
constexpr std::int32_t kErrorStatusTooBig = 1;

std::uint32_t ceiling(std::uint32_t a, std::uint32_t b) { return (a + b - 1) / b; }

// Releases what it holds at the end of a scope.
template <class T>
struct Releasing {
    T* object = nullptr;
    ~Releasing() {
        if (object != nullptr) object->release();
    }
};
}  // namespace

RequestSession::~RequestSession() {
    if (socket_ != nullptr) socket_->release();
}

std::int32_t RequestSession::open_socket(IPmsSnmpTarget* target) {
    if (socket_ != nullptr) {
        socket_->release();
        socket_ = nullptr;
    }
    const IPmcNetworkAddress* address = target->get_address();
    return pmc_create_datagram_socket(address->protocol(), target->get_port(), &socket_);
}

std::int32_t RequestSession::send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) {
    if (pdu == nullptr || target == nullptr || target->get_address() == nullptr) return kErrBadArgument;
    if (const std::int32_t code = open_socket(target); code != kOk) return code;
    return exchange(pdu, target);
}

std::int32_t RequestSession::send_sync(IPmsSnmpPacket* packet) {
    if (packet == nullptr) return kErrBadArgument;
    return with_packet_parts(packet, [this](IPmsPdu* pdu, IPmsSnmpTarget* target) { return send_sync(pdu, target); });
}

std::int32_t RequestSession::exchange(IPmsPdu* pdu, IPmsSnmpTarget* target) {
    std::uint32_t fragments = 0;
    const std::int32_t result = send_and_receive(pdu, target, &fragments);
    return fragments != 0 ? fragment_process(pdu, target, fragments) : result;
}

std::int32_t RequestSession::encode(IPmsPdu* pdu, IPmsSnmpTarget* target, IPmsPacketBuffer* buffer,
                                    std::uint32_t* encoded) {
    pdu->set_request_id(next_request_id());
    return pms_get_translator_registry()->encode(pdu, target, buffer, encoded);
}

std::int32_t RequestSession::receive(std::int32_t timeout_ms, IPmsPacketBuffer* packet, IPmcNetworkAddress** from) {
    // The thread's buffer: a session runs one exchange at a time on its thread.
    auto* buffer = static_cast<std::uint8_t*>(thread_receive_buffer(kReceiveCapacity));
    if (buffer == nullptr) return kErrNoMemory;
    std::int32_t received = 0;
    const std::int32_t code = socket_->receive(buffer, kReceiveCapacity, timeout_ms, &received, from);
    if (code != kOk) return code;
    // Decoded in place: the buffer is not touched again before the next receive.
    packet->attach(buffer, static_cast<std::uint32_t>(received), pms_buffer_owner::kCaller);
    return kOk;
}

std::int32_t RequestSession::send_and_receive(IPmsPdu* pdu, IPmsSnmpTarget* target, std::uint32_t* fragments) {
    IPmcNetworkAddress* destination = target->get_address();
    CPmsPacketBuffer request;
    std::uint32_t encoded = 0;
    std::int32_t result = encode(pdu, target, &request, &encoded);
    if (result == kErrRequestTooLarge) {
        const IPmsVarBindList* bindings = pdu->get_bindings();
        const std::uint32_t count = bindings ? bindings->get_count() : 0;
        // Not even one binding fitted: one per request, and a single one
        // that still does not fit ends in -212.
        *fragments = count == encoded ? 2 : encoded == 0 ? (count > 2 ? count : 2) : ceiling(count, encoded);
        return result;
    }
    if (result != kOk) return result;
    const std::uint32_t length = request.remaining();
    const auto max_size = static_cast<std::uint32_t>(target->get_max_size());
    if (max_size != 0 && length > max_size) {
        *fragments = ceiling(length, max_size);
        return kErrRequestTooLarge;
    }

    const std::int32_t timeout = target->get_timeout();
    const std::int32_t retries = target->get_retries();
    snmp_logger().log(log_level::kInfo, "_send_and_receive(): timeout= %d, retries=%d", timeout, retries);
    IPmcNetworkAddress* answered_by = nullptr;
    result = kOk;
    bool ended = false;
    for (std::uint32_t attempt = 0; !ended && attempt < static_cast<std::uint32_t>(retries) + 1; ++attempt) {
        snmp_logger().log(log_level::kDebug, "_send_and_receive(): try %d, destination=%s", attempt,
                          destination->text());
        if (result = socket_->send(request.cur(), length, destination); result != kOk) break;
        std::int32_t remaining = timeout;
        std::uint32_t tick = platform::tick_count();
        while (remaining > 0) {
            CPmsPacketBuffer datagram;
            IPmcNetworkAddress* sender = nullptr;
            result = receive(remaining, &datagram, &sender);
            if (result == kErrTimeout) {
                snmp_logger().log(log_level::kError, "_send_and_receive(): receive timeout.");
                datagram.detach(nullptr);
                break;
            }
            if (result != kOk) {
                snmp_logger().log(log_level::kError, "_send_and_receive(): error=%d.", result);
                datagram.detach(nullptr);
                ended = true;
                break;
            }
            snmp_logger().log(log_level::kDebug, "_send_and_receive(): receive from %s", destination->text());
            result = check_received_raw_packet(pdu, target, &datagram);
            if (result == kErrTooBig) {
                snmp_logger().log(log_level::kDebug, "_send_and_receive(): receive packet is too big.");
                ended = true;
            } else if (result == kOk) {
                result = pms_get_translator_registry()->decode(&datagram, pdu, target, pms_translate_type::kCommunity);
                if (result != kErrDecode) {
                    ended = true;
                    if (result == kOk) answered_by = sender;
                }
            }
            datagram.detach(nullptr);
            if (sender != answered_by) sender->release();
            if (ended) break;
            const std::uint32_t now = platform::tick_count();
            remaining -= static_cast<std::int32_t>(now - tick);
            tick = now;
        }
    }
    if (result == kOk && answered_by != nullptr) result = target->set_address(answered_by);
    if (answered_by != nullptr) answered_by->release();
    if (result == kErrTooBig) *fragments = 2;
    return result;
}

std::int32_t RequestSession::check_received_raw_packet(IPmsPdu* pdu, IPmsSnmpTarget*, IPmsPacketBuffer* packet) {
    std::int32_t error_status = 0;
    std::int32_t request_id = 0;
    if (pms_get_translator_registry()->peek_header(packet, &error_status, &request_id,
                                                   pms_translate_type::kCommunity) != kOk) {
        return kErrForeignAnswer;  // unreadable: not an answer to us
    }
    if (request_id == pdu->get_request_id()) return error_status == kErrorStatusTooBig ? kErrTooBig : kOk;
    snmp_logger().log(log_level::kDebug,
                      "[RequestSession::check_received_raw_packet] request id not match. sended "
                      "packet[%ud]:received packet[%ud].",
                      static_cast<unsigned>(pdu->get_request_id()), static_cast<unsigned>(request_id));
    return kErrForeignAnswer;
}

std::int32_t RequestSession::fragment_pdu(IPmsPdu* pdu, std::uint32_t fragments, IPmcPtrList<IPmsPdu>** out) {
    std::int32_t code = kOk;
    IPmcPtrList<IPmsPdu>* list = pms_create_pdu_list(&code);
    if (list == nullptr) return code;
    IPmsVarBindList* taken = pdu->take_bindings();
    const std::uint32_t count = taken ? taken->get_count() : 0;
    const std::uint32_t per = count / fragments;
    const std::uint32_t rest = count % fragments;
    if (per == 0) {
        pdu->set_bindings(taken);
        snmp_logger().log(log_level::kError, "[RequestSession::fragment_pdu] can't fragment the packet[%d] any more.",
                          pdu->get_request_id());
        list->release();
        return kErrCannotSplit;
    }
    for (std::uint32_t i = 0; i < fragments && code == kOk; ++i) {
        IPmsPdu* fragment = pdu->clone(&code);  // the header only: the PDU has no bindings now
        if (fragment == nullptr) break;
        IPmsVarBindList* part = taken->split_front(i < rest ? per + 1 : per, &code);
        if (part == nullptr) {
            fragment->release();
            break;
        }
        fragment->set_bindings(part);
        if (code = list->add_tail(fragment); code != kOk) fragment->release();
    }
    if (code != kOk) {
        // Give back what was split off, in order, before leaving.
        for (IPmcPtrListIterator* it = list->create_iterator(nullptr); it != nullptr;) {
            IPmsPdu* fragment = list->get_at(it);
            if (fragment == nullptr) {
                list->release_iterator(it);
                break;
            }
            while (IPmsVarBind* binding = fragment->pop_front()) pdu->append(binding);
            list->next(it);
        }
        while (IPmsVarBind* binding = taken->pop_front()) pdu->append(binding);
        taken->release();
        list->release();
        return code;
    }
    pdu->set_bindings(taken);
    if (taken->get_count() != 0) {
        snmp_logger().log(log_level::kError, "[RequestSession::fragment_pdu] vb size of a fragmented packet is zero.");
        list->release();
        return kErrPlatform;
    }
    *out = list;
    return kOk;
}

std::int32_t RequestSession::fragment_process(IPmsPdu* pdu, IPmsSnmpTarget* target, std::uint32_t fragments) {
    IPmcPtrList<IPmsPdu>* list = nullptr;
    if (const std::int32_t code = fragment_pdu(pdu, fragments, &list); code != kOk) return code;
    Releasing<IPmcPtrList<IPmsPdu>> owned{list};
    snmp_logger().log(log_level::kInfo, "[RequestSession::fragment_process] packet[%d] is fragmented to %d.",
                      pdu->get_request_id(), static_cast<int>(fragments));
    std::int32_t code = kOk;
    Releasing<IPmcPtrListIterator> it{list->create_iterator(&code)};
    if (it.object == nullptr) return code;
    for (IPmsPdu* fragment = list->get_at(it.object); fragment != nullptr; fragment = list->get_at(list->next(it.object))) {
        if (code = exchange(fragment, target); code != kOk) return code;
    }
    // Merge the answers in order; an error's index counts the bindings of
    // the fragments before it.
    list->reset_iterator(it.object);
    pdu->set_type(list->get_at(it.object)->get_type());
    pdu->set_error_status(0);
    pdu->set_error_index(0);
    std::int32_t before = 0;
    for (IPmsPdu* fragment = list->get_at(it.object); fragment != nullptr; fragment = list->get_at(list->next(it.object))) {
        if (pdu->get_error_status() == 0 && fragment->get_error_status() != 0) {
            pdu->set_error_status(fragment->get_error_status());
            pdu->set_error_index(fragment->get_error_index() + before);
        }
        while (IPmsVarBind* binding = fragment->pop_front()) {
            if (code = pdu->append(binding); code != kOk) {
                binding->release();
                return code;
            }
            ++before;
        }
    }
    return kOk;
}

IPmsSession* pms_create_request_session(std::int32_t* result) {
    auto* session = create<RequestSession>();
    if (session == nullptr) return fail<IPmsSession>(result, kErrNoMemory);
    set_result(result, kOk);
    return session;
}
