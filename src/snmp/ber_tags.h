// The BER tags of the SNMP message format.
#pragma once

#include <cstdint>

namespace tolv::ber {

inline constexpr std::uint8_t kSequence = 0x30;
inline constexpr std::uint8_t kInteger = 0x02;
inline constexpr std::uint8_t kOctetString = 0x04;
inline constexpr std::uint8_t kNull = 0x05;
inline constexpr std::uint8_t kObjectIdentifier = 0x06;
inline constexpr std::uint8_t kIpAddress = 0x40;
inline constexpr std::uint8_t kTimeTicks = 0x43;
inline constexpr std::uint8_t kPduBase = 0xA0;   // plus the PDU type
inline constexpr std::uint8_t kTrapV2 = 0xA7;    // SNMPv2-Trap, held as type 4
inline constexpr std::uint8_t kReport = 0xA8;

// The value tags a variable binding may carry.
inline bool is_binding_value_tag(std::uint8_t tag) {
    switch (tag) {
        case 0x02: case 0x04: case 0x05: case 0x06: case 0x40: case 0x41: case 0x42:
        case 0x43: case 0x44: case 0x46: case 0x80: case 0x81: case 0x82: return true;
        default: return false;
    }
}

// The prefix of standard traps: 1.3.6.1.6.3.1.1.5.0 followed by generic + 1.
inline constexpr const char* kStandardTrapPrefix = "1.3.6.1.6.3.1.1.5";

}  // namespace tolv::ber
