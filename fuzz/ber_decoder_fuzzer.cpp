// Arbitrary bytes through the decoder and peek_header, with every translate
// type; what decodes is encoded again and decoded once more, and a second
// decode fills the PDU of the first (the path a response takes).
// The first input byte chooses the translate type; the rest is the message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "snmp/packet.h"
#include "snmp/packet_buffer.h"
#include "snmp/translator_registry.h"

namespace {
// The bytes in storage of exactly their size, so that any read past the
// end is caught.
IPmsPacketBuffer* buffer_of(const std::uint8_t* data, std::size_t size) {
    IPmsPacketBuffer* buffer = pms_create_packet_buffer(nullptr);
    auto* storage = static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size));
    if (size != 0) std::memcpy(storage, data, size);
    buffer->attach(storage, static_cast<std::uint32_t>(size), pms_buffer_owner::kRuntime);
    return buffer;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t translate_type = static_cast<std::int32_t>(data[0] % 3) - 1;
    CPmsTranslatorRegistry* registry = pms_get_translator_registry();
    IPmsPacketBuffer* buffer = buffer_of(data + 1, size - 1);

    std::int32_t error_status = 0;
    std::int32_t request_id = 0;
    registry->peek_header(buffer, &error_status, &request_id, translate_type);

    IPmsSnmpPacket* packet = pms_create_packet(nullptr);
    if (registry->decode(buffer, packet, translate_type) == 0) {
        // Decode the same bytes again into what the first decode filled.
        registry->decode(buffer, packet, translate_type);
        packet->get_target()->set_max_size(65535);
        IPmsPacketBuffer* encoded = pms_create_packet_buffer(nullptr);
        if (registry->encode(packet, encoded, nullptr) == 0) {
            IPmsSnmpPacket* again = pms_create_packet(nullptr);
            if (registry->decode(encoded, again, 0) != 0) std::abort();  // what we write, we read
            again->release();
        }
        encoded->release();
    }
    packet->release();
    buffer->release();
    return 0;
}
