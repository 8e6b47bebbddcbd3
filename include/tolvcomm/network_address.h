// IPmcNetworkAddress: an endpoint held as text, protocol and port.
#pragma once

#include <cstdint>

#include "tolvcomm/byte_string.h"

class IPmcNetworkAddress {
public:
    enum EProtocol : std::int32_t {
        Unspecified = 0,
        IPv4 = 1,
        IPX = 2,
        IPv6 = 4,
    };

    virtual void release() = 0;
    virtual std::int32_t set_text(const char* text) = 0;
    virtual std::int32_t assign(const char* text, EProtocol protocol, std::uint16_t port) = 0;
    virtual IPmcByteString* text_buffer() const = 0;
    virtual std::int32_t get(IPmcByteString** text, EProtocol* protocol, std::uint16_t* port) const = 0;
    virtual std::int32_t set_protocol(EProtocol protocol) = 0;
    virtual std::int32_t set_port(std::uint16_t port) = 0;
    virtual EProtocol protocol() const = 0;
    virtual std::uint16_t port() const = 0;
    virtual bool equals(const IPmcNetworkAddress* other) const = 0;
    virtual std::int32_t clone(IPmcNetworkAddress** out) const = 0;
    virtual bool is_valid() const = 0;
    virtual std::int32_t normalize() = 0;
    virtual const char* text() const = 0;

protected:
    ~IPmcNetworkAddress() = default;
};
