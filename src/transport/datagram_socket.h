// DataGramSocket: one connectionless socket bound to a local address of one
// protocol, with send, receive with a time-out, broadcast and multicast.
//
//   DataGramSocket                 the operations common to every protocol
//   +- DataGramSocketWS1           socket library 1.1
//   |  +- DataGramSocketIPv4       inet_addr / inet_ntoa conversions
//   |  +- DataGramSocketIPX        IPX address conversions
//   +- DataGramSocketIPv6          socket library 2.2, getaddrinfo / getnameinfo
#pragma once

#include <cstdint>

#include "common/allocation.h"
#include "platform/winsock.h"
#include "tolvcomm/network_address.h"

class DataGramSocket : public tolv::PooledObject {
public:
    DataGramSocket(const DataGramSocket&) = delete;
    DataGramSocket& operator=(const DataGramSocket&) = delete;

    virtual void release();
    virtual std::int32_t send(const void* data, std::uint32_t length, const IPmcNetworkAddress* destination);
    // Waits up to timeout_ms (-1: without limit) for one datagram; a new
    // sender address goes to *from.
    virtual std::int32_t receive(void* buffer, std::uint32_t capacity, std::int32_t timeout_ms,
                                 std::int32_t* received, IPmcNetworkAddress** from);
    // The local end; the port the platform chose is read back on first use.
    virtual IPmcNetworkAddress* local_address();
    virtual std::int32_t set_broadcast(bool on);
    virtual std::int32_t join_multicast(const char* group);
    virtual ~DataGramSocket();
    virtual std::int32_t startup() = 0;
    virtual std::int32_t set_local_any(IPmcNetworkAddress* address) = 0;
    virtual bool from_sockaddr(const tolv::winsock::SockAddr* buffer, IPmcNetworkAddress* address) = 0;
    virtual bool to_sockaddr(tolv::winsock::SockAddr* buffer, const IPmcNetworkAddress* address) = 0;
    virtual std::int32_t create_socket() = 0;

    // Creates, binds and reads back the bound address; called once by the factory.
    std::int32_t open();
    // Made by the factory only.
    void adopt_local_address(IPmcNetworkAddress* address) { local_ = address; }
    tolv::winsock::Socket handle() const { return socket_; }

protected:
    DataGramSocket() = default;
    // Reads back the bound address and port (getsockname): 0 or -1.
    std::int32_t read_back_local_address();
    // The local port for a log line (reads it back when still unknown).
    std::uint16_t local_port() { return local_address()->port(); }

    tolv::winsock::Socket socket_ = tolv::winsock::kInvalidSocket;
    IPmcNetworkAddress* local_ = nullptr;
    bool started_ = false;
    bool local_known_ = false;  // read back after bind
};

class DataGramSocketWS1 : public DataGramSocket {
public:
    std::int32_t startup() override;
};

class DataGramSocketIPv4 final : public DataGramSocketWS1 {
public:
    std::int32_t set_local_any(IPmcNetworkAddress* address) override;
    bool from_sockaddr(const tolv::winsock::SockAddr* buffer, IPmcNetworkAddress* address) override;
    bool to_sockaddr(tolv::winsock::SockAddr* buffer, const IPmcNetworkAddress* address) override;
    std::int32_t create_socket() override;
};

class DataGramSocketIPX final : public DataGramSocketWS1 {
public:
    std::int32_t set_local_any(IPmcNetworkAddress* address) override;
    bool from_sockaddr(const tolv::winsock::SockAddr* buffer, IPmcNetworkAddress* address) override;
    bool to_sockaddr(tolv::winsock::SockAddr* buffer, const IPmcNetworkAddress* address) override;
    std::int32_t create_socket() override;
};

class DataGramSocketIPv6 final : public DataGramSocket {
public:
    std::int32_t startup() override;
    std::int32_t set_local_any(IPmcNetworkAddress* address) override;
    bool from_sockaddr(const tolv::winsock::SockAddr* buffer, IPmcNetworkAddress* address) override;
    bool to_sockaddr(tolv::winsock::SockAddr* buffer, const IPmcNetworkAddress* address) override;
    std::int32_t create_socket() override;
};

std::int32_t pmc_create_datagram_socket(IPmcNetworkAddress::EProtocol protocol, DataGramSocket** out);
std::int32_t pmc_create_datagram_socket(IPmcNetworkAddress::EProtocol protocol, std::uint16_t port,
                                        DataGramSocket** out);
