// The SNMPv3 users the simulated agents know (sim/, tests/netns/lab.sh), and
// USM targets made from them.
#pragma once

#include <cstdint>

#include "tolvcomm/target.h"

namespace tolv::testing {

struct V3User {
    const char* name;
    std::int32_t level;
    std::int32_t auth;
    std::int32_t priv;
    const char* auth_phrase;
    const char* priv_phrase;
};

inline constexpr V3User kMd5Des{"md5des",          pms_usm::kAuthPriv, pms_usm::kAuthMd5,
                                pms_usm::kPrivDes, "md5-auth-phrase",  "des-priv-phrase"};
inline constexpr V3User kShaAes{"shaaes",          pms_usm::kAuthPriv, pms_usm::kAuthSha,
                                pms_usm::kPrivAes, "sha-auth-phrase",  "aes-priv-phrase"};
inline constexpr V3User kShaOnly{"shaonly", pms_usm::kAuthNoPriv, pms_usm::kAuthSha, 0, "sha-only-phrase", ""};
inline constexpr V3User kNoAuth{"noauth", pms_usm::kNoAuthNoPriv, 0, 0, "", ""};

// A USM target of the user for the address text (IPv4 or IPv6) and port,
// context "public", no retries; owned by the caller.
IPmsUsm* usm_target(const V3User& user, const char* address, std::uint16_t port, std::int32_t timeout_ms);

}  // namespace tolv::testing
