// Targets: where and how a PDU is sent. A community target (SNMPv1/v2c) or
// a USM target (SNMPv3), both reachable as IPmsSnmpTarget.
#pragma once

#include <cstdint>

#include "tolvcomm/byte_string.h"
#include "tolvcomm/network_address.h"

class IPmsTranslator;

namespace pms_version {
inline constexpr std::int32_t kUnset = -1;
inline constexpr std::int32_t kV1 = 0;
inline constexpr std::int32_t kV2c = 1;
inline constexpr std::int32_t kV3 = 2;
}  // namespace pms_version

namespace pms_security_model {
inline constexpr std::int32_t kCommunity = 0;
inline constexpr std::int32_t kUsm = 1;
}  // namespace pms_security_model

// Identifiers for IPmsSnmpTarget::query_interface.
namespace pms_target_id {
inline constexpr std::int32_t kTarget = 0;
inline constexpr std::int32_t kCommonPart = 1;
inline constexpr std::int32_t kCommunity = 2;
inline constexpr std::int32_t kCommunityAlias = 3;
inline constexpr std::int32_t kUsm = 4;
inline constexpr std::int32_t kUsmAlias = 5;
}  // namespace pms_target_id

class IPmsSnmpTarget {
public:
    virtual std::int32_t accept(IPmsTranslator* translator) = 0;
    virtual void release() = 0;
    virtual void clear() = 0;
    virtual IPmsSnmpTarget* clone(std::int32_t* result) const = 0;
    virtual std::int32_t copy(const IPmsSnmpTarget* source) = 0;
    virtual bool equals(const IPmsSnmpTarget* other) const = 0;
    virtual std::int32_t get_security_model() const = 0;
    virtual std::int32_t query_interface(std::int32_t id, void** out) = 0;
    virtual void set_version(std::int32_t version) = 0;
    virtual void set_timeout(std::int32_t timeout_ms) = 0;
    virtual void set_retries(std::int32_t retries) = 0;
    virtual void set_max_size(std::int32_t max_size) = 0;
    virtual void set_port(std::uint16_t local_port) = 0;
    virtual std::int32_t get_version() const = 0;
    virtual std::int32_t get_timeout() const = 0;
    virtual std::int32_t get_retries() const = 0;
    virtual std::int32_t get_max_size() const = 0;
    virtual std::uint16_t get_port() const = 0;
    virtual std::int32_t set_address(const IPmcNetworkAddress* address) = 0;
    virtual IPmcNetworkAddress* get_address() const = 0;

protected:
    ~IPmsSnmpTarget() = default;
};

class IPmsCommunity : public virtual IPmsSnmpTarget {
public:
    virtual std::int32_t set_community(const char* community) = 0;
    virtual const char* get_community() const = 0;
    void release() override = 0;

protected:
    ~IPmsCommunity() = default;
};

namespace pms_usm {
inline constexpr std::int32_t kNoAuthNoPriv = 0;
inline constexpr std::int32_t kAuthNoPriv = 1;
inline constexpr std::int32_t kAuthPriv = 2;
inline constexpr std::int32_t kAuthMd5 = 1;
inline constexpr std::int32_t kAuthSha = 2;
inline constexpr std::int32_t kPrivDes = 1;
inline constexpr std::int32_t kPrivAes = 2;
inline constexpr std::uint32_t kMaxSecurityNameLength = 32;
}  // namespace pms_usm

class IPmsUsm : public virtual IPmsSnmpTarget {
public:
    virtual const char* get_security_name() const = 0;
    virtual std::int32_t get_security_level() const = 0;
    virtual std::int32_t get_auth_protocol() const = 0;
    virtual std::int32_t get_priv_protocol() const = 0;
    virtual const char* get_auth_passphrase() const = 0;
    virtual const char* get_priv_passphrase() const = 0;
    virtual const char* get_context_name() const = 0;
    virtual IPmcByteString* get_engine_id() const = 0;
    virtual std::int32_t set_security_name(const char* name) = 0;
    virtual std::int32_t set_security_level(std::int32_t level) = 0;
    virtual std::int32_t set_auth_protocol(std::int32_t protocol) = 0;
    virtual std::int32_t set_priv_protocol(std::int32_t protocol) = 0;
    virtual std::int32_t set_auth_passphrase(const char* passphrase) = 0;
    virtual std::int32_t set_priv_passphrase(const char* passphrase) = 0;
    virtual std::int32_t set_context_name(const char* context) = 0;
    virtual std::int32_t set_engine_id(const void* data, std::uint32_t length) = 0;
    void release() override = 0;

protected:
    ~IPmsUsm() = default;
};
