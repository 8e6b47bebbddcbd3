#include "agent_double.h"

#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/value_factory.h"
#include "test_objects.h"

namespace tolv::testing {

Request read_request(const Bytes& bytes) {
    Request request;
    const Decoded decoded = decode(bytes);
    auto packet = own(decoded.packet);
    if (decoded.code != 0) return request;
    void* community = nullptr;
    packet->get_target()->query_interface(pms_target_id::kCommunity, &community);
    const char* text = community ? static_cast<IPmsCommunity*>(community)->get_community() : nullptr;
    request.community = text ? text : "";
    request.version = packet->get_target()->get_version();
    IPmsPdu* pdu = packet->get_pdu();
    request.type = pdu->get_type();
    request.request_id = pdu->get_request_id();
    for (std::uint32_t i = 0; pdu->get_bindings() && i < pdu->get_bindings()->get_count(); ++i) {
        request.oids.push_back(text_of(pdu->get_bindings()->get(i)->get_oid()));
    }
    return request;
}

Bytes response_to(const Request& request, const Answer& answer) {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kResponse);
    pdu->set_request_id(answer.request_id == -1 ? request.request_id : static_cast<std::int32_t>(answer.request_id));
    pdu->set_error_status(answer.error_status);
    pdu->set_error_index(answer.error_index);
    for (const auto& [oid, value] : answer.bindings) {
        IPmsValue* v = pms_create_value(answer.tag, nullptr);
        v->set_text(value.c_str());
        pdu->add(pms_create_oid_from_text(oid.c_str(), nullptr), v);
    }
    auto target = own(community_target(request.version < 0 ? 0 : request.version,
                                       request.community.c_str(), 65535));
    return encode(pdu.get(), target.get()).bytes;
}

Answer echo(const Request& request) {
    Answer answer;
    for (const std::string& oid : request.oids) answer.bindings.emplace_back(oid, "value of " + oid);
    return answer;
}

}  // namespace tolv::testing
