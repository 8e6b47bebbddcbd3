// The process-wide address resolver: detects the protocol of an address
// text and produces its numeric (canonical) text. Two kinds exist; the
// first use chooses one for the life of the process.
#pragma once

#include <cstdint>

#include "tolvcomm/network_address.h"

class IPmcAddressResolver {
public:
    virtual std::int32_t to_numeric_text(const char* text, IPmcByteString** out) = 0;
    virtual std::int32_t get_protocol(const char* text, IPmcNetworkAddress::EProtocol* out) = 0;
    virtual ~IPmcAddressResolver() = default;
};

// Protocol-independent, over getaddrinfo, getnameinfo and freeaddrinfo.
class CPmcAddrInfoResolver final : public IPmcAddressResolver {
public:
    std::int32_t to_numeric_text(const char* text, IPmcByteString** out) override;
    std::int32_t get_protocol(const char* text, IPmcNetworkAddress::EProtocol* out) override;
};

// IPv4 and IPX only, by parsing the text; for socket libraries without the
// protocol-independent name functions.
class CPmcHostentResolver final : public IPmcAddressResolver {
public:
    std::int32_t to_numeric_text(const char* text, IPmcByteString** out) override;
    std::int32_t get_protocol(const char* text, IPmcNetworkAddress::EProtocol* out) override;
};

// The resolver, created on first use (null with -3 when it cannot be).
IPmcAddressResolver* pmc_address_resolver(std::int32_t* result);
// Forgets the resolver so that the next use chooses again (tests swap the
// socket library underneath).
void pmc_reset_address_resolver();

// Address family <-> protocol.
IPmcNetworkAddress::EProtocol pmc_protocol_of_family(int family);
int pmc_family_of_protocol(IPmcNetworkAddress::EProtocol protocol);

std::int32_t pmc_address_numeric_text(const char* text, IPmcByteString** out);
std::int32_t pmc_address_is_valid(const char* text, bool* valid);
std::int32_t pmc_address_protocol(const char* text, IPmcNetworkAddress::EProtocol* out);
std::int32_t pmc_address_equal(const char* a, const char* b, bool* equal);
