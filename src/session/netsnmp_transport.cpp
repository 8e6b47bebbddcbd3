#include "session/netsnmp_transport.h"

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tolvcomm/result_codes.h"
#include "transport/datagram_socket.h"

namespace tolv::netsnmp {
namespace {
constexpr std::uint16_t kSnmpPort = 161;
constexpr std::size_t kMaxUdpPayload = 65507;
constexpr std::size_t kMaxSenderText = 80;  // "[" IPv6 text with scope "]:" port

// Kept in the transport's data, which the library frees with free(): plain
// memory holding our two objects, released by close_transport.
struct TransportState {
    DataGramSocket* socket;
    IPmcNetworkAddress* destination;
};

TransportState* state_of(netsnmp_transport* transport) { return static_cast<TransportState*>(transport->data); }

char* sender_text(const IPmcNetworkAddress* address) {
    char* text = static_cast<char*>(std::malloc(kMaxSenderText));
    if (text != nullptr) std::snprintf(text, kMaxSenderText, "[%s]:%u", address->text(), address->port());
    return text;
}

int send_datagram(netsnmp_transport* transport, const void* data, int length, void**, int*) {
    TransportState* state = state_of(transport);
    if (state == nullptr || state->socket == nullptr || length < 0) return -1;
    return state->socket->send(data, static_cast<std::uint32_t>(length), state->destination) == kOk ? length : -1;
}

// Called when the socket is readable; the sender goes along with the
// message as its text, freed by the library.
int receive_datagram(netsnmp_transport* transport, void* buffer, int capacity, void** sender, int* sender_length) {
    TransportState* state = state_of(transport);
    if (state == nullptr || state->socket == nullptr || capacity < 0) return -1;
    std::int32_t received = 0;
    IPmcNetworkAddress* from = nullptr;
    if (state->socket->receive(buffer, static_cast<std::uint32_t>(capacity), 0, &received, &from) != kOk) return -1;
    char* text = sender_text(from);
    from->release();
    if (text == nullptr) return -1;
    *sender = text;
    *sender_length = static_cast<int>(std::strlen(text) + 1);
    return received;
}

char* format_address(netsnmp_transport* transport, const void* data, int length) {
    if (data != nullptr && length > 0) return strndup(static_cast<const char*>(data), static_cast<std::size_t>(length));
    TransportState* state = state_of(transport);
    return state != nullptr && state->destination != nullptr ? sender_text(state->destination) : strdup("[]:0");
}

int close_transport(netsnmp_transport* transport) {
    if (TransportState* state = state_of(transport); state != nullptr) {
        if (state->socket != nullptr) state->socket->release();
        if (state->destination != nullptr) state->destination->release();
        state->socket = nullptr;
        state->destination = nullptr;
    }
    transport->sock = -1;
    return 0;
}

// The transport domains (RFC 3419 / the SNMPv2 transport mappings) that
// name the kind of socket to the library.
constexpr oid kUdpDomain[] = {1, 3, 6, 1, 6, 1, 1};
constexpr oid kUdpIpv6Domain[] = {1, 3, 6, 1, 2, 1, 100, 1, 2};
constexpr oid kIpxDomain[] = {1, 3, 6, 1, 6, 1, 5};

template <std::size_t N>
const oid* domain(const oid (&arcs)[N], int* length) {
    *length = static_cast<int>(N);
    return arcs;
}

const oid* domain_of(IPmcNetworkAddress::EProtocol protocol, int* length) {
    switch (protocol) {
        case IPmcNetworkAddress::IPv6: return domain(kUdpIpv6Domain, length);
        case IPmcNetworkAddress::IPX: return domain(kIpxDomain, length);
        default: return domain(kUdpDomain, length);
    }
}
}  // namespace

netsnmp_transport* create_transport(const IPmcNetworkAddress* destination, std::uint16_t local_port,
                                    std::int32_t* result) {
    auto* transport = static_cast<netsnmp_transport*>(std::calloc(1, sizeof(netsnmp_transport)));
    auto* state = static_cast<TransportState*>(std::calloc(1, sizeof(TransportState)));
    std::int32_t code = transport != nullptr && state != nullptr ? kOk : kErrNoMemory;
    if (code == kOk) code = destination->clone(&state->destination);
    if (code == kOk && state->destination->port() == 0) state->destination->set_port(kSnmpPort);
    if (code == kOk) code = pmc_create_datagram_socket(destination->protocol(), local_port, &state->socket);
    if (code != kOk) {
        if (state != nullptr && state->destination != nullptr) state->destination->release();
        std::free(state);
        std::free(transport);
        *result = code;
        return nullptr;
    }
    transport->domain = domain_of(destination->protocol(), &transport->domain_length);
    transport->sock = static_cast<int>(state->socket->handle());
    transport->data = state;
    transport->data_length = sizeof(TransportState);
    transport->msgMaxSize = kMaxUdpPayload;
    transport->f_send = send_datagram;
    transport->f_recv = receive_datagram;
    transport->f_close = close_transport;
    transport->f_fmtaddr = format_address;
    *result = kOk;
    return transport;
}

DataGramSocket* socket_of(netsnmp_transport* transport) {
    TransportState* state =
        transport != nullptr && transport->f_close == close_transport ? state_of(transport) : nullptr;
    return state != nullptr ? state->socket : nullptr;
}

}  // namespace tolv::netsnmp
