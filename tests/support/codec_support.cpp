#include "codec_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "snmp/packet.h"
#include "snmp/target.h"
#include "snmp/translator_registry.h"

namespace tolv::testing {

Bytes hex(const std::string& text) {
    Bytes bytes;
    std::string digits;
    for (char c : text) {
        if (c != ' ' && c != '\n') digits += c;
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
    }
    return bytes;
}

std::string to_hex(const Bytes& bytes) {
    std::string text;
    char pair[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        text += pair;
    }
    return text;
}

IPmsSnmpTarget* community_target(std::int32_t version, const char* community, std::int32_t max_size) {
    IPmsCommunity* target = pms_create_community_target(nullptr);
    target->set_version(version);
    target->set_community(community);
    target->set_max_size(max_size);
    return target;
}

Encoded encode(IPmsPdu* pdu, IPmsSnmpTarget* target) {
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    Encoded result{};
    result.code = pms_get_translator_registry()->encode(pdu, target, buffer, &result.count);
    if (result.code == 0) result.bytes.assign(buffer->cur(), buffer->data() + buffer->size());
    buffer->release();
    return result;
}

Decoded decode(const Bytes& bytes) {
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    auto* storage = static_cast<std::uint8_t*>(std::malloc(bytes.size() + 1));
    if (!bytes.empty()) std::memcpy(storage, bytes.data(), bytes.size());
    buffer->attach(storage, static_cast<std::uint32_t>(bytes.size()), pms_buffer_owner::kRuntime);
    IPmsSnmpPacket* packet = pms_create_packet(nullptr);
    const std::int32_t code = pms_get_translator_registry()->decode(buffer, packet, 0);
    buffer->release();
    return Decoded{code, packet};
}

}  // namespace tolv::testing
