#include "transport/datagram_socket.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/allocation.h"
#include "log/module_logger.h"
#include "tolvcomm/result_codes.h"
#include "transport/address_resolver.h"
#include "transport/address_text.h"
#include "transport/network_address.h"
#include "transport/socket_api.h"
#include "transport/socket_wait.h"

using namespace tolv;
namespace ws = tolv::winsock;
using tolv::log::socket_logger;
using EProtocol = IPmcNetworkAddress::EProtocol;

namespace {
// A zero-filled socket address buffer of the size every call passes.
struct AddressBuffer {
    alignas(8) unsigned char bytes[ws::kSockAddrBufferSize] = {};
    ws::SockAddr* get() { return reinterpret_cast<ws::SockAddr*>(bytes); }
};

constexpr const char kLimitedBroadcast[] = "255.255.255.255";

// inet_addr reports failure with the same value as the limited broadcast.
bool is_limited_broadcast(const char* text) { return std::strncmp(text, kLimitedBroadcast, 15) == 0; }

int last_error() { return NPmcSocketAPI::WSAGetLastError(); }
}  // namespace

// DataGramSocket ------------------------------------------------------------------

DataGramSocket::~DataGramSocket() {
    if (local_ != nullptr) local_->release();
    if (socket_ != ws::kInvalidSocket) NPmcSocketAPI::closesocket(socket_);
    if (started_) NPmcSocketAPI::cleanup();
}

void DataGramSocket::release() { delete this; }

IPmcNetworkAddress* DataGramSocket::local_address() {
    if (!local_known_ && socket_ != ws::kInvalidSocket) read_back_local_address();
    return local_;
}

std::int32_t DataGramSocket::read_back_local_address() {
    AddressBuffer bound;
    int length = ws::kSockAddrBufferSize;
    if (NPmcSocketAPI::getsockname(socket_, bound.get(), &length) != 0) return kErrPlatform;
    if (!from_sockaddr(bound.get(), local_)) return kErrPlatform;
    local_known_ = true;
    return kOk;
}

std::int32_t DataGramSocket::open() {
    if (const std::int32_t code = startup(); code != kOk) return code;
    started_ = true;
    if (const std::int32_t code = create_socket(); code != kOk) return code;
    AddressBuffer buffer;
    if (!to_sockaddr(buffer.get(), local_)) return kErrBind;
    if (NPmcSocketAPI::bind(socket_, buffer.get(), ws::kSockAddrBufferSize) != 0) {
        socket_logger().log(log_level::kError, "fail bind(). WSAGetLastError()=%d", last_error());
        return kErrBind;
    }
    // The bound address is read back when first asked for (an exchange never
    // needs it), or now for the log line.
    if (socket_logger().enabled(log_level::kDebug)) {
        if (read_back_local_address() != kOk) return kErrPlatform;
        socket_logger().log(log_level::kDebug, "create socket. id:0x%x port:%d(0x%x)", static_cast<unsigned>(socket_),
                            local_->port(), local_->port());
    }
    return kOk;
}

std::int32_t DataGramSocket::send(const void* data, std::uint32_t length, const IPmcNetworkAddress* destination) {
    if (data == nullptr || destination == nullptr) return kErrBadArgument;
    if (socket_logger().enabled(log_level::kDebug)) {
        socket_logger().log(log_level::kDebug, "[DataGramSocket::send] send packet. port:%d(0x%x) -> %s:%d(0x%x).",
                            local_port(), local_port(), destination->text(), destination->port(), destination->port());
    }
    AddressBuffer buffer;
    if (!to_sockaddr(buffer.get(), destination)) return kErrBadArgument;
    const int sent = NPmcSocketAPI::sendto(socket_, static_cast<const char*>(data), static_cast<int>(length), 0,
                                           buffer.get(), ws::kSockAddrBufferSize);
    if (sent == ws::kSocketError) {
        socket_logger().log(log_level::kError, "fail send(). WSAGetLastError()=%d", last_error());
        return kErrSend;
    }
    if (static_cast<std::uint32_t>(sent) != length) {
        socket_logger().log(log_level::kWarn, "send(). size of sended bytes is not same that of buffer.");
    }
    return kOk;
}

std::int32_t DataGramSocket::receive(void* buffer, std::uint32_t capacity, std::int32_t timeout_ms,
                                     std::int32_t* received, IPmcNetworkAddress** from) {
    if (from != nullptr) *from = nullptr;
    if (buffer == nullptr || received == nullptr || from == nullptr) return kErrBadArgument;
    if (const std::int32_t waited = tolv::transport::wait_readable(socket_, timeout_ms); waited != kOk) return waited;
    AddressBuffer sender;
    int sender_length = ws::kSockAddrBufferSize;
    *received = NPmcSocketAPI::recvfrom(socket_, static_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                        sender.get(), &sender_length);
    if (*received < 0) {
        socket_logger().log(log_level::kError, "fail recvfrom(). WSAGetLastError()=%d", last_error());
        return kErrReceive;
    }
    IPmcNetworkAddress* address = pmc_create_network_address(nullptr);
    if (address == nullptr) return kErrNoMemory;
    if (!from_sockaddr(sender.get(), address)) {
        socket_logger().log(log_level::kError,
                            "[DataGramSocket::receive] fail create CPmcNetworkAddress ( success recvfrom() ).");
        address->release();
        return kErrPlatform;
    }
    if (socket_logger().enabled(log_level::kDebug)) {
        socket_logger().log(log_level::kDebug, "[DataGramSocket::receive] receive packet port:%d(0x%x) <- %s:%d(0x%x).",
                            local_port(), local_port(), address->text(), address->port(), address->port());
    }
    *from = address;
    return kOk;
}

std::int32_t DataGramSocket::set_broadcast(bool on) {
    const EProtocol protocol = local_->protocol();
    if (protocol != IPmcNetworkAddress::IPv4 && protocol != IPmcNetworkAddress::IPX) return kOk;
    const std::int32_t flag = on ? 1 : 0;
    if (NPmcSocketAPI::setsockopt(socket_, ws::kSolSocket, ws::kSoBroadcast, reinterpret_cast<const char*>(&flag),
                                  sizeof flag) != 0) {
        socket_logger().log(log_level::kError, "fail setsockopt(). can't set broadcast flag. WSAGetLastError()=%d",
                            last_error());
        return kErrPlatform;
    }
    return kOk;
}

std::int32_t DataGramSocket::join_multicast(const char* group) {
    if (group == nullptr) return kErrBadArgument;
    int result = 0;
    switch (local_->protocol()) {
        case IPmcNetworkAddress::IPv4: {
            const std::uint32_t address = NPmcSocketAPI::inet_addr(group);
            if (address == ws::kInaddrNone && !is_limited_broadcast(group)) {
                socket_logger().log(log_level::kError, "fail inet_addr(). WSAGetLastError()=%d", last_error());
                return kErrPlatform;
            }
            std::uint32_t request[2] = {address, 0};  // the group, any local interface
            result = NPmcSocketAPI::setsockopt(socket_, ws::kIpprotoIp, ws::kIpAddMembership,
                                               reinterpret_cast<const char*>(request), sizeof request);
            break;
        }
        case IPmcNetworkAddress::IPv6: {
            unsigned char request[20] = {};  // 16 group bytes, then interface index 0
            if (const std::int32_t code = address_text::read_ipv6_group(group, request); code != kOk) return code;
            result = NPmcSocketAPI::setsockopt(socket_, ws::kIpprotoIpv6, ws::kIpv6AddMembership,
                                               reinterpret_cast<const char*>(request), sizeof request);
            break;
        }
        default: return kErrBadArgument;
    }
    if (result != 0) {
        socket_logger().log(log_level::kError, "fail setsockopt(). can't set multicast flag. WSAGetLastError()=%d",
                            last_error());
        return kErrPlatform;
    }
    return kOk;
}

// DataGramSocketWS1 and IPv4 --------------------------------------------------------

std::int32_t DataGramSocketWS1::startup() { return NPmcSocketAPI::startup_1_1(); }

std::int32_t DataGramSocketIPv4::set_local_any(IPmcNetworkAddress* address) { return address->set_text("0.0.0.0"); }

std::int32_t DataGramSocketIPv4::create_socket() {
    socket_ = NPmcSocketAPI::socket(ws::kAfInet, ws::kSockDgram, 0);
    if (socket_ == ws::kInvalidSocket) {
        socket_logger().log(log_level::kError, "fail socket(). WSAGetLastError()=%d", last_error());
        return kErrSocketCreate;
    }
    return kOk;
}

bool DataGramSocketIPv4::to_sockaddr(ws::SockAddr* buffer, const IPmcNetworkAddress* address) {
    const std::uint32_t host = NPmcSocketAPI::inet_addr(address->text());
    if (host == ws::kInaddrNone && !is_limited_broadcast(address->text())) return false;
    auto* in = reinterpret_cast<ws::SockAddrIn*>(buffer);
    in->family = ws::kAfInet;
    in->port = NPmcSocketAPI::htons(address->port());
    std::memcpy(in->address, &host, sizeof host);
    return true;
}

bool DataGramSocketIPv4::from_sockaddr(const ws::SockAddr* buffer, IPmcNetworkAddress* address) {
    const auto* in = reinterpret_cast<const ws::SockAddrIn*>(buffer);
    ws::InAddr host{};
    std::memcpy(&host.address, in->address, sizeof host.address);
    if (const char* text = NPmcSocketAPI::inet_ntoa(host); text != nullptr) {
        if (address->set_text(text) != kOk) return false;
    }
    address->set_port(NPmcSocketAPI::ntohs(in->port));
    address->set_protocol(IPmcNetworkAddress::IPv4);
    return true;
}

// DataGramSocketIPX -----------------------------------------------------------------

std::int32_t DataGramSocketIPX::set_local_any(IPmcNetworkAddress* address) {
    return address->set_text("00000000:000000000000");
}

std::int32_t DataGramSocketIPX::create_socket() {
    socket_ = NPmcSocketAPI::socket(ws::kAfIpx, ws::kSockDgram, ws::kNsprotoIpx);
    if (socket_ == ws::kInvalidSocket) {
        socket_logger().log(log_level::kError, "fail socket(). WSAGetLastError()=%d", last_error());
        return kErrSocketCreate;
    }
    return kOk;
}

bool DataGramSocketIPX::to_sockaddr(ws::SockAddr* buffer, const IPmcNetworkAddress* address) {
    std::uint8_t bytes[10];
    address_text::read_ipx(address->text(), bytes);
    auto* ipx = reinterpret_cast<ws::SockAddrIpx*>(buffer);
    ipx->family = ws::kAfIpx;
    std::memcpy(ipx->network, bytes, 4);
    std::memcpy(ipx->node, bytes + 4, 6);
    ipx->socket = NPmcSocketAPI::htons(address->port());
    return true;
}

bool DataGramSocketIPX::from_sockaddr(const ws::SockAddr* buffer, IPmcNetworkAddress* address) {
    const auto* ipx = reinterpret_cast<const ws::SockAddrIpx*>(buffer);
    const std::uint8_t* n = ipx->network;
    const std::uint8_t* d = ipx->node;
    char text[24];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x", n[0], n[1], n[2], n[3], d[0], d[1],
                  d[2], d[3], d[4], d[5]);
    if (address->set_text(text) != kOk) return false;
    address->set_port(NPmcSocketAPI::ntohs(ipx->socket));
    address->set_protocol(IPmcNetworkAddress::IPX);
    return true;
}

// DataGramSocketIPv6 ----------------------------------------------------------------

std::int32_t DataGramSocketIPv6::startup() { return NPmcSocketAPI::startup_2_2(); }

std::int32_t DataGramSocketIPv6::set_local_any(IPmcNetworkAddress* address) {
    switch (address->protocol()) {
        case IPmcNetworkAddress::IPv4: return address->set_text("0.0.0.0");
        case IPmcNetworkAddress::IPX: return address->set_text("00000000:000000000000");
        case IPmcNetworkAddress::IPv6: return address->set_text("0000:0000:0000:0000:0000:0000:0000:0000");
        default: return kErrNotFound;
    }
}

std::int32_t DataGramSocketIPv6::create_socket() {
    socket_ = NPmcSocketAPI::socket(pmc_family_of_protocol(local_->protocol()), ws::kSockDgram, 0);
    if (socket_ == ws::kInvalidSocket) {
        socket_logger().log(log_level::kError, "fail socket(). WSAGetLastError()=%d", last_error());
        return kErrSocketCreate;
    }
    return kOk;
}

bool DataGramSocketIPv6::to_sockaddr(ws::SockAddr* buffer, const IPmcNetworkAddress* address) {
    if (NPmcSocketAPI::getaddrinfo == nullptr) return false;
    char port[8];
    std::snprintf(port, sizeof port, "%d", address->port());
    ws::AddrInfo hints{};
    hints.flags = ws::kAiPassive;
    hints.family = ws::kAfUnspec;
    hints.socket_type = ws::kSockDgram;
    ws::AddrInfo* list = nullptr;
    if (NPmcSocketAPI::getaddrinfo(address->text(), port, &hints, &list) != 0 || list == nullptr) return false;
    const std::size_t length =
        list->address_length < ws::kSockAddrBufferSize ? list->address_length : ws::kSockAddrBufferSize;
    std::memcpy(buffer, list->address, length);
    NPmcSocketAPI::freeaddrinfo(list);
    return true;
}

bool DataGramSocketIPv6::from_sockaddr(const ws::SockAddr* buffer, IPmcNetworkAddress* address) {
    if (NPmcSocketAPI::getnameinfo == nullptr) return false;
    int length = ws::kSockAddrBufferSize;
    switch (local_->protocol()) {
        case IPmcNetworkAddress::IPv4: length = sizeof(ws::SockAddrIn); break;
        case IPmcNetworkAddress::IPX: length = sizeof(ws::SockAddrIpx); break;
        case IPmcNetworkAddress::IPv6: length = sizeof(ws::SockAddrIn6); break;
        default: break;
    }
    char host[ws::kNiMaxHost];
    char service[ws::kNiMaxServ];
    if (NPmcSocketAPI::getnameinfo(buffer, length, host, sizeof host, service, sizeof service,
                                   ws::kNiNumericHost | ws::kNiNumericServ) != 0) {
        return false;
    }
    if (address->set_text(host) != kOk) return false;
    address->set_port(static_cast<std::uint16_t>(std::atoi(service)));
    address->set_protocol(pmc_protocol_of_family(buffer->family));
    return true;
}

// Factories ---------------------------------------------------------------------------

std::int32_t pmc_create_datagram_socket(EProtocol protocol, DataGramSocket** out) {
    return pmc_create_datagram_socket(protocol, 0, out);
}

std::int32_t pmc_create_datagram_socket(EProtocol protocol, std::uint16_t port, DataGramSocket** out) {
    if (out == nullptr) return kErrBadArgument;
    *out = nullptr;
    DataGramSocket* socket = nullptr;
    switch (protocol) {
        case IPmcNetworkAddress::IPv4: socket = create<DataGramSocketIPv4>(); break;
        case IPmcNetworkAddress::IPX: socket = create<DataGramSocketIPX>(); break;
        case IPmcNetworkAddress::IPv6: socket = create<DataGramSocketIPv6>(); break;
        default: return kErrBadArgument;
    }
    if (socket == nullptr) return kErrNoMemory;
    IPmcNetworkAddress* local = pmc_create_network_address(nullptr);
    if (local == nullptr) {
        socket->release();
        return kErrNoMemory;
    }
    socket->adopt_local_address(local);
    local->set_protocol(protocol);
    local->set_port(port);
    std::int32_t code = socket->set_local_any(local);
    if (code == kOk) code = socket->open();
    if (code != kOk) {
        socket->release();  // closes the handle and cleans the library up
        return code;
    }
    *out = socket;
    return kOk;
}
