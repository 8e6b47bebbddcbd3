// Helpers for codec tests: hex strings, encoding a PDU with a community
// target, decoding bytes into a fresh packet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "snmp/packet_buffer.h"
#include "tolvcomm/packet.h"

namespace tolv::testing {

using Bytes = std::vector<std::uint8_t>;

// "30 26 02" or "302602" -> bytes (blanks ignored).
Bytes hex(const std::string& text);
std::string to_hex(const Bytes& bytes);

// A community target of the version and community, with a maximum size.
IPmsSnmpTarget* community_target(std::int32_t version, const char* community, std::int32_t max_size = 1400);

struct Encoded {
    std::int32_t code;
    std::uint32_t count;
    Bytes bytes;
};
Encoded encode(IPmsPdu* pdu, IPmsSnmpTarget* target);

struct Decoded {
    std::int32_t code;
    IPmsSnmpPacket* packet;  // owned by the caller; holds what was read
};
// Decodes into a packet without target or PDU (translate type: community).
Decoded decode(const Bytes& bytes);

}  // namespace tolv::testing
