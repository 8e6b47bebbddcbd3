// CPmcNetworkAddress: an endpoint held as text (letters A-F lower-cased),
// protocol and port.
#pragma once

#include "common/allocation.h"
#include "tolvcomm/network_address.h"

class CPmcNetworkAddress final : public IPmcNetworkAddress, public tolv::PooledObject {
public:
    CPmcNetworkAddress() = default;
    CPmcNetworkAddress(const CPmcNetworkAddress&) = delete;
    CPmcNetworkAddress& operator=(const CPmcNetworkAddress&) = delete;

    void release() override { delete this; }
    std::int32_t set_text(const char* text) override;
    std::int32_t assign(const char* text, EProtocol protocol, std::uint16_t port) override;
    IPmcByteString* text_buffer() const override { return text_; }
    std::int32_t get(IPmcByteString** text, EProtocol* protocol, std::uint16_t* port) const override;
    std::int32_t set_protocol(EProtocol protocol) override;
    std::int32_t set_port(std::uint16_t port) override;
    EProtocol protocol() const override { return protocol_; }
    std::uint16_t port() const override { return port_; }
    bool equals(const IPmcNetworkAddress* other) const override;
    std::int32_t clone(IPmcNetworkAddress** out) const override;
    bool is_valid() const override;
    std::int32_t normalize() override;
    const char* text() const override;

private:
    ~CPmcNetworkAddress();
    // A new byte string holding the text with A-F lower-cased, or null.
    static IPmcByteString* lower_cased(const char* text, std::int32_t* result);

    IPmcByteString* text_ = nullptr;
    EProtocol protocol_ = Unspecified;
    std::uint16_t port_ = 0;
};

IPmcNetworkAddress* pmc_create_network_address(std::int32_t* result);
// A new address of the text (its protocol detected) and the port; null with
// the resolver's code when the text is no address.
IPmcNetworkAddress* pmc_parse_network_address(const char* text, std::uint16_t port, std::int32_t* result);
