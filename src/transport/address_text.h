// The address text forms that are read by parsing rather than by the
// platform's numeric lookup.
#pragma once

#include <cstdint>

namespace tolv::address_text {

// Exactly 21 characters of the form "%2x%2x%2x%2x:%2x%2x%2x%2x%2x%2x":
// 4 network bytes, a colon, 6 node bytes.
bool is_ipx(const char* text);
// The 10 bytes of an IPX text; fields that do not read stay 0.
void read_ipx(const char* text, std::uint8_t out[10]);

// "%u.%u.%u.%u" with nothing after the fourth number, each below 256.
bool read_strict_ipv4(const char* text, std::uint8_t out[4]);

// An IPv6 multicast group text, "::" allowed anywhere: 0, or -2 when it
// does not read as eight groups.
std::int32_t read_ipv6_group(const char* text, std::uint8_t out[16]);

}  // namespace tolv::address_text
