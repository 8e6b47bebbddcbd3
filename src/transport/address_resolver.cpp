#include "transport/address_resolver.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "common/allocation.h"
#include "common/byte_string.h"
#include "tolvcomm/result_codes.h"
#include "transport/address_text.h"
#include "transport/socket_api.h"

using namespace tolv;
using EProtocol = IPmcNetworkAddress::EProtocol;

namespace {
// Starts the socket library for the duration of one resolver operation.
class SocketLibraryBracket {
public:
    SocketLibraryBracket() : result_(NPmcSocketAPI::startup_2_2()) {}
    ~SocketLibraryBracket() {
        if (result_ == kOk) NPmcSocketAPI::cleanup();
    }
    std::int32_t result() const { return result_; }

private:
    std::int32_t result_;
};

// getaddrinfo of a numeric text; the list is freed with the object.
class NumericLookup {
public:
    explicit NumericLookup(const char* text) {
        winsock::AddrInfo hints{};
        hints.flags = winsock::kAiPassive | winsock::kAiNumericHost;
        hints.family = winsock::kAfUnspec;
        hints.socket_type = winsock::kSockDgram;
        if (NPmcSocketAPI::getaddrinfo == nullptr || NPmcSocketAPI::getaddrinfo(text, nullptr, &hints, &list_) != 0) {
            list_ = nullptr;
        }
    }
    ~NumericLookup() {
        if (list_ != nullptr) NPmcSocketAPI::freeaddrinfo(list_);
    }
    const winsock::AddrInfo* first() const { return list_; }

private:
    winsock::AddrInfo* list_ = nullptr;
};

std::int32_t new_text(const char* text, std::uint32_t length, IPmcByteString** out) {
    std::int32_t result = kOk;
    *out = pmc_create_byte_string(text, length, &result);
    return result;
}

std::atomic<IPmcAddressResolver*> resolver{nullptr};
std::mutex resolver_lock;
}  // namespace

EProtocol pmc_protocol_of_family(int family) {
    switch (family) {
        case winsock::kAfInet: return IPmcNetworkAddress::IPv4;
        case winsock::kAfIpx: return IPmcNetworkAddress::IPX;
        case winsock::kAfInet6: return IPmcNetworkAddress::IPv6;
        default: return IPmcNetworkAddress::Unspecified;
    }
}

int pmc_family_of_protocol(EProtocol protocol) {
    switch (protocol) {
        case IPmcNetworkAddress::Unspecified: return winsock::kAfUnspec;
        case IPmcNetworkAddress::IPv4: return winsock::kAfInet;
        case IPmcNetworkAddress::IPX: return winsock::kAfIpx;
        case IPmcNetworkAddress::IPv6: return winsock::kAfInet6;
        default: return static_cast<int>(protocol);  // passed through unchanged
    }
}

// CPmcAddrInfoResolver ----------------------------------------------------------

std::int32_t CPmcAddrInfoResolver::get_protocol(const char* text, EProtocol* out) {
    if (text == nullptr || out == nullptr) return kErrBadArgument;
    if (address_text::is_ipx(text)) {
        *out = IPmcNetworkAddress::IPX;
        return kOk;
    }
    // A plain dotted quad is what the numeric lookup would call IPv4; every
    // socket and every sender address comes this way, so it is read here.
    std::uint8_t bytes[4];
    if (address_text::read_strict_ipv4(text, bytes)) {
        *out = IPmcNetworkAddress::IPv4;
        return kOk;
    }
    SocketLibraryBracket library;
    if (library.result() != kOk) return library.result();
    NumericLookup lookup(text);
    if (lookup.first() == nullptr) {
        *out = IPmcNetworkAddress::Unspecified;
        return kErrPlatform;
    }
    *out = pmc_protocol_of_family(lookup.first()->family);
    return kOk;
}

std::int32_t CPmcAddrInfoResolver::to_numeric_text(const char* text, IPmcByteString** out) {
    if (out == nullptr) return kErrBadArgument;
    EProtocol protocol = IPmcNetworkAddress::Unspecified;
    if (const std::int32_t code = get_protocol(text, &protocol); code != kOk) return code;
    if (protocol == IPmcNetworkAddress::IPX) return new_text(text, static_cast<std::uint32_t>(std::strlen(text)), out);
    SocketLibraryBracket library;
    if (library.result() != kOk) return library.result();
    NumericLookup lookup(text);
    if (lookup.first() == nullptr) return kErrPlatform;
    char host[winsock::kNiMaxHost];
    if (NPmcSocketAPI::getnameinfo == nullptr ||
        NPmcSocketAPI::getnameinfo(lookup.first()->address, static_cast<int>(lookup.first()->address_length), host,
                                   sizeof host, nullptr, 0, winsock::kNiNumericHost) != 0) {
        return kErrPlatform;
    }
    return new_text(host, static_cast<std::uint32_t>(std::strlen(host)), out);
}

// CPmcHostentResolver -------------------------------------------------------------

std::int32_t CPmcHostentResolver::get_protocol(const char* text, EProtocol* out) {
    if (text == nullptr || out == nullptr) return kErrBadArgument;
    std::uint8_t bytes[4];
    if (address_text::read_strict_ipv4(text, bytes)) {
        *out = IPmcNetworkAddress::IPv4;
    } else if (address_text::is_ipx(text)) {
        *out = IPmcNetworkAddress::IPX;
    } else {
        *out = IPmcNetworkAddress::Unspecified;
        return kErrNotFound;
    }
    return kOk;
}

std::int32_t CPmcHostentResolver::to_numeric_text(const char* text, IPmcByteString** out) {
    if (out == nullptr) return kErrBadArgument;
    EProtocol protocol = IPmcNetworkAddress::Unspecified;
    if (const std::int32_t code = get_protocol(text, &protocol); code != kOk) return code;
    if (protocol == IPmcNetworkAddress::IPX) return new_text(text, static_cast<std::uint32_t>(std::strlen(text)), out);
    std::uint8_t bytes[4];
    address_text::read_strict_ipv4(text, bytes);
    char numeric[16];
    const int length = std::snprintf(numeric, sizeof numeric, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return new_text(numeric, static_cast<std::uint32_t>(length), out);
}

// The singleton and the module functions --------------------------------------

IPmcAddressResolver* pmc_address_resolver(std::int32_t* result) {
    IPmcAddressResolver* current = resolver.load(std::memory_order_acquire);
    if (current == nullptr) {
        std::lock_guard guard(resolver_lock);
        current = resolver.load(std::memory_order_relaxed);
        if (current == nullptr) {
            const bool protocol_independent = NPmcSocketAPI::load() == kOk && NPmcSocketAPI::has_addrinfo();
            current = protocol_independent ? static_cast<IPmcAddressResolver*>(create<CPmcAddrInfoResolver>())
                                           : create<CPmcHostentResolver>();
            resolver.store(current, std::memory_order_release);
        }
    }
    if (result != nullptr) *result = current != nullptr ? kOk : kErrNoMemory;
    return current;
}

void pmc_reset_address_resolver() {
    std::lock_guard guard(resolver_lock);
    delete resolver.exchange(nullptr);
}

namespace {
struct ResolverOwner {
    ~ResolverOwner() { delete resolver.exchange(nullptr); }
} resolver_owner;
}  // namespace

std::int32_t pmc_address_numeric_text(const char* text, IPmcByteString** out) {
    std::int32_t result = kOk;
    IPmcAddressResolver* r = pmc_address_resolver(&result);
    return r ? r->to_numeric_text(text, out) : result;
}

std::int32_t pmc_address_protocol(const char* text, EProtocol* out) {
    std::int32_t result = kOk;
    IPmcAddressResolver* r = pmc_address_resolver(&result);
    return r ? r->get_protocol(text, out) : result;
}

std::int32_t pmc_address_is_valid(const char* text, bool* valid) {
    if (valid == nullptr) return kErrBadArgument;
    EProtocol protocol = IPmcNetworkAddress::Unspecified;
    if (const std::int32_t code = pmc_address_protocol(text, &protocol); code != kOk) return code;
    *valid = protocol != IPmcNetworkAddress::Unspecified;
    return kOk;
}

std::int32_t pmc_address_equal(const char* a, const char* b, bool* equal) {
    if (equal == nullptr) return kErrBadArgument;
    IPmcByteString* first = nullptr;
    IPmcByteString* second = nullptr;
    std::int32_t code = pmc_address_numeric_text(a, &first);
    if (code == kOk) code = pmc_address_numeric_text(b, &second);
    if (code == kOk) *equal = first->equals(second);
    if (first != nullptr) first->release();
    if (second != nullptr) second->release();
    return code;
}
