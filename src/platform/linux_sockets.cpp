// The built-in socket modules: the socket library contract of winsock.h
// carried out with Linux sockets. Family numbers and option numbers are
// translated at this boundary; the socket address layouts are the same
// byte for byte apart from the family number.
//
// Names are never resolved: the library works with numeric addresses only,
// so the name functions convert numeric texts and refuse anything else
// without asking a name service.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/builtin_modules.h"
#include "platform/winsock.h"

namespace tolv::platform {
namespace {
using namespace tolv::winsock;

thread_local int wsa_last_error = 0;
std::atomic<int> startups{0};

int fail(int code) {
    wsa_last_error = code;
    return kSocketError;
}

int wsa_code_of(int error) {
    switch (error) {
        case EINTR: return kWsaEintr;
        case EBADF: return kWsaEnotsock;
        case EACCES:
        case EPERM: return kWsaEacces;
        case EFAULT: return kWsaEfault;
        case EINVAL: return kWsaEinval;
        case EMFILE:
        case ENFILE: return kWsaEmfile;
        case EAGAIN: return kWsaEwouldblock;
        case ENOTSOCK: return kWsaEnotsock;
        case EMSGSIZE: return kWsaEmsgsize;
        case EPROTONOSUPPORT: return kWsaEprotonosupport;
        case ESOCKTNOSUPPORT: return kWsaEsocktnosupport;
        case EOPNOTSUPP: return kWsaEopnotsupp;
        case EAFNOSUPPORT: return kWsaEafnosupport;
        case EADDRINUSE: return kWsaEaddrinuse;
        case EADDRNOTAVAIL: return kWsaEaddrnotavail;
        case ENETDOWN: return kWsaEnetdown;
        case ENETUNREACH: return kWsaEnetunreach;
        case ECONNREFUSED: return kWsaEconnrefused;
        case EHOSTUNREACH: return kWsaEhostunreach;
        case ENOMEM:
        case ENOBUFS: return kWsaNotEnoughMemory;
        default: return kWsaEinval;
    }
}

int fail_errno() { return fail(wsa_code_of(errno)); }

int linux_family(int family) {
    switch (family) {
        case kAfUnspec: return AF_UNSPEC;
        case kAfInet: return AF_INET;
        case kAfInet6: return AF_INET6;
        default: return -1;  // IPX and anything else do not exist here
    }
}

int wire_family(int family) {
    switch (family) {
        case AF_INET: return kAfInet;
        case AF_INET6: return kAfInet6;
        default: return kAfUnspec;
    }
}

// Windows layout -> Linux. False (with the error set) when it cannot be done.
bool to_linux(const SockAddr* in, int length, sockaddr_storage* out, socklen_t* out_length) {
    if (in == nullptr || length < 2) return fail(kWsaEfault), false;
    std::memset(out, 0, sizeof *out);
    if (in->family == kAfInet && length >= static_cast<int>(sizeof(SockAddrIn))) {
        std::memcpy(out, in, sizeof(sockaddr_in));
        out->ss_family = AF_INET;
        *out_length = sizeof(sockaddr_in);
        return true;
    }
    if (in->family == kAfInet6 && length >= static_cast<int>(sizeof(SockAddrIn6))) {
        std::memcpy(out, in, sizeof(sockaddr_in6));
        out->ss_family = AF_INET6;
        *out_length = sizeof(sockaddr_in6);
        return true;
    }
    if (in->family != kAfInet && in->family != kAfInet6) return fail(kWsaEafnosupport), false;
    return fail(kWsaEfault), false;
}

// Linux -> Windows layout into a buffer of *length bytes.
bool from_linux(const sockaddr_storage* in, SockAddr* out, int* length) {
    const std::size_t size = in->ss_family == AF_INET6 ? sizeof(SockAddrIn6) : sizeof(SockAddrIn);
    if (out == nullptr || length == nullptr || *length < static_cast<int>(size)) return fail(kWsaEfault), false;
    std::memcpy(out, in, size);
    out->family = static_cast<std::uint16_t>(wire_family(in->ss_family));
    *length = static_cast<int>(size);
    return true;
}

int fd_of(Socket socket) { return socket > static_cast<Socket>(INT32_MAX) ? -1 : static_cast<int>(socket); }

// Start-up and clean-up ---------------------------------------------------

int startup_with(std::uint16_t version, void* data, std::uint8_t highest_major) {
    const std::uint8_t major = version & 0xFF;
    if (major == 0 || major > highest_major) {
        wsa_last_error = kWsaVernotsupported;
        return kWsaVernotsupported;
    }
    if (data != nullptr) {
        std::memset(data, 0, kStartupDataSize);
        std::memcpy(data, &version, sizeof version);
    }
    startups.fetch_add(1);
    return 0;
}

int ws2_startup(std::uint16_t version, void* data) { return startup_with(version, data, 2); }
int wsock_startup(std::uint16_t version, void* data) { return startup_with(version, data, 1); }

int cleanup() {
    int current = startups.load();
    while (current > 0 && !startups.compare_exchange_weak(current, current - 1)) {
    }
    return current > 0 ? 0 : fail(kWsaNotinitialised);
}

int get_last_error() { return wsa_last_error; }

// Sockets ---------------------------------------------------------------------

Socket open_socket(int family, int type, int protocol) {
    if (startups.load() == 0) return fail(kWsaNotinitialised), kInvalidSocket;
    const int native = linux_family(family);
    if (native < 0 || native == AF_UNSPEC) return fail(kWsaEafnosupport), kInvalidSocket;
    if (type != kSockDgram) return fail(kWsaEsocktnosupport), kInvalidSocket;
    const int fd = ::socket(native, SOCK_DGRAM | SOCK_CLOEXEC, protocol);
    if (fd < 0) return fail_errno(), kInvalidSocket;
    return static_cast<Socket>(fd);
}

int bind_socket(Socket socket, const SockAddr* address, int length) {
    sockaddr_storage native;
    socklen_t native_length = 0;
    if (!to_linux(address, length, &native, &native_length)) return kSocketError;
    if (::bind(fd_of(socket), reinterpret_cast<sockaddr*>(&native), native_length) != 0) return fail_errno();
    return 0;
}

int get_sock_name(Socket socket, SockAddr* address, int* length) {
    sockaddr_storage native;
    socklen_t native_length = sizeof native;
    if (::getsockname(fd_of(socket), reinterpret_cast<sockaddr*>(&native), &native_length) != 0) return fail_errno();
    return from_linux(&native, address, length) ? 0 : kSocketError;
}

// Maps (level, option) to Linux; false when the option is not known.
bool native_option(int level, int option, int* native_level, int* native_option_name) {
    if (level == kSolSocket && option == kSoBroadcast) {
        *native_level = SOL_SOCKET;
        *native_option_name = SO_BROADCAST;
    } else if (level == kSolSocket && (option == 0x1001 || option == 0x1002)) {  // send / receive buffer
        *native_level = SOL_SOCKET;
        *native_option_name = option == 0x1001 ? SO_SNDBUF : SO_RCVBUF;
    } else if (level == kIpprotoIp && option == kIpAddMembership) {
        *native_level = IPPROTO_IP;
        *native_option_name = IP_ADD_MEMBERSHIP;
    } else if (level == kIpprotoIpv6 && option == kIpv6AddMembership) {
        *native_level = IPPROTO_IPV6;
        *native_option_name = IPV6_ADD_MEMBERSHIP;
    } else {
        return false;
    }
    return true;
}

constexpr int kWsaEnoprotoopt = 10042;

int set_sock_opt(Socket socket, int level, int option, const char* value, int length) {
    int native_level = 0;
    int native_name = 0;
    if (!native_option(level, option, &native_level, &native_name)) return fail(kWsaEnoprotoopt);
    if (value == nullptr || length < 0) return fail(kWsaEfault);
    if (::setsockopt(fd_of(socket), native_level, native_name, value, static_cast<socklen_t>(length)) != 0) {
        return fail_errno();
    }
    return 0;
}

int get_sock_opt(Socket socket, int level, int option, char* value, int* length) {
    int native_level = 0;
    int native_name = 0;
    if (!native_option(level, option, &native_level, &native_name)) return fail(kWsaEnoprotoopt);
    if (value == nullptr || length == nullptr || *length < 0) return fail(kWsaEfault);
    auto native_length = static_cast<socklen_t>(*length);
    if (::getsockopt(fd_of(socket), native_level, native_name, value, &native_length) != 0) return fail_errno();
    *length = static_cast<int>(native_length);
    return 0;
}

int send_to(Socket socket, const char* data, int length, int flags, const SockAddr* to, int to_length) {
    sockaddr_storage native;
    socklen_t native_length = 0;
    if (data == nullptr || length < 0) return fail(kWsaEfault);
    if (!to_linux(to, to_length, &native, &native_length)) return kSocketError;
    const ssize_t sent = ::sendto(fd_of(socket), data, static_cast<std::size_t>(length), flags | MSG_NOSIGNAL,
                                  reinterpret_cast<sockaddr*>(&native), native_length);
    if (sent < 0) return fail_errno();
    return static_cast<int>(sent);
}

// A datagram longer than the buffer is an error (WSAEMSGSIZE), never a
// silent truncation; the datagram is consumed either way.
int receive_from(Socket socket, char* buffer, int length, int flags, SockAddr* from, int* from_length) {
    if (buffer == nullptr || length < 0) return fail(kWsaEfault);
    sockaddr_storage native;
    socklen_t native_length = sizeof native;
    const ssize_t received = ::recvfrom(fd_of(socket), buffer, static_cast<std::size_t>(length), flags | MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&native), &native_length);
    if (received < 0) return fail_errno();
    if (received > length) return fail(kWsaEmsgsize);
    if (from != nullptr && !from_linux(&native, from, from_length)) return kSocketError;
    return static_cast<int>(received);
}

int milliseconds_of(const TimeVal* timeout) {
    if (timeout == nullptr) return -1;
    const long long total = static_cast<long long>(timeout->seconds) * 1000 + timeout->microseconds / 1000;
    return total < 0 ? 0 : total > INT32_MAX ? INT32_MAX : static_cast<int>(total);
}

// Waits on the sockets of the three sets; each set keeps only its ready sockets.
int select_sockets(int, FdSet* read, FdSet* write, FdSet* except, const TimeVal* timeout) {
    pollfd polls[3 * kFdSetSize];
    FdSet* sets[3] = {read, write, except};
    const short events[3] = {POLLIN, POLLOUT, POLLPRI};
    nfds_t count = 0;
    for (int s = 0; s < 3; ++s) {
        if (sets[s] == nullptr) continue;
        if (sets[s]->count > kFdSetSize) return fail(kWsaEinval);
        for (std::uint32_t i = 0; i < sets[s]->count; ++i) {
            const int fd = fd_of(sets[s]->sockets[i]);
            if (fd < 0) return fail(kWsaEnotsock);
            polls[count++] = pollfd{fd, events[s], 0};
        }
    }
    if (count == 0) return fail(kWsaEinval);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds_of(timeout));
    int wait = milliseconds_of(timeout);
    int ready = 0;
    for (;;) {
        ready = ::poll(polls, count, wait);
        if (ready >= 0) break;
        if (errno != EINTR) return fail_errno();
        if (wait >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                    std::chrono::steady_clock::now());
            wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
    }
    for (std::uint32_t bad = 0; bad < count; ++bad) {
        if (polls[bad].revents & POLLNVAL) return fail(kWsaEnotsock);
    }
    nfds_t index = 0;
    for (int s = 0; s < 3; ++s) {
        if (sets[s] == nullptr) continue;
        std::uint32_t kept = 0;
        const std::uint32_t listed = sets[s]->count;
        for (std::uint32_t i = 0; i < listed; ++i, ++index) {
            if (polls[index].revents & (events[s] | POLLERR | POLLHUP)) sets[s]->sockets[kept++] = sets[s]->sockets[i];
        }
        sets[s]->count = kept;
    }
    return ready;
}

int close_socket(Socket socket) {
    if (::close(fd_of(socket)) != 0) return fail_errno();
    return 0;
}

// Byte order and address texts ------------------------------------------------

std::uint16_t host_to_net16(std::uint16_t value) { return htons(value); }
std::uint16_t net_to_host16(std::uint16_t value) { return ntohs(value); }
std::uint32_t host_to_net32(std::uint32_t value) { return htonl(value); }
std::uint32_t net_to_host32(std::uint32_t value) { return ntohl(value); }

std::uint32_t inet_address(const char* text) {
    if (text == nullptr) return kInaddrNone;
    // The plain dotted quad directly; every other form the C library reads.
    std::uint8_t bytes[4];
    const char* p = text;
    int i = 0;
    for (; i < 4; ++i) {
        unsigned value = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9' && digits < 4) value = value * 10 + static_cast<unsigned>(*p++ - '0'), ++digits;
        if (digits == 0 || digits > 3 || value >= 256 || (digits > 1 && p[-digits] == '0')) break;  // 010 is octal
        bytes[i] = static_cast<std::uint8_t>(value);
        if (i < 3 && *p++ != '.') break;
    }
    if (i == 4 && *p == '\0') {
        std::uint32_t address = 0;
        std::memcpy(&address, bytes, sizeof address);
        return address;
    }
    return ::inet_addr(text);
}

char* inet_text(InAddr address) {
    thread_local char text[INET_ADDRSTRLEN];
    std::uint8_t bytes[4];
    std::memcpy(bytes, &address.address, sizeof bytes);
    char* p = text;
    for (int i = 0; i < 4; ++i) {
        const unsigned value = bytes[i];
        if (value >= 100) *p++ = static_cast<char>('0' + value / 100);
        if (value >= 10) *p++ = static_cast<char>('0' + value / 10 % 10);
        *p++ = static_cast<char>('0' + value % 10);
        *p++ = i < 3 ? '.' : '\0';
    }
    return text;
}

int get_host_name(char* name, int length) {
    if (name == nullptr || length <= 0) return fail(kWsaEfault);
    if (::gethostname(name, static_cast<std::size_t>(length)) != 0) return fail_errno();
    return 0;
}

// The library resolves no names: these answer "no data" at once.
HostEnt* host_by_name(const char*) { return fail(kWsaNoData), nullptr; }
HostEnt* host_by_address(const char*, int, int) { return fail(kWsaNoData), nullptr; }
ServEnt* service_by_name(const char*, const char*) { return fail(kWsaNoData), nullptr; }

int wsa_code_of_gai(int error) {
    switch (error) {
        case EAI_NONAME: return kWsaHostNotFound;
        case EAI_AGAIN: return kWsaTryAgain;
        case EAI_FAIL: return kWsaNoRecovery;
        case EAI_FAMILY: return kWsaEafnosupport;
        case EAI_MEMORY: return kWsaNotEnoughMemory;
        case EAI_SERVICE: return kWsaTypeNotFound;
        case EAI_SOCKTYPE: return kWsaEsocktnosupport;
        case EAI_SYSTEM: return wsa_code_of(errno);
        default: return kWsaEinval;
    }
}

void free_addr_info(AddrInfo* list) {
    while (list != nullptr) {
        AddrInfo* next = list->next;
        std::free(list->address);
        std::free(list->canonical_name);
        std::free(list);
        list = next;
    }
}

int get_addr_info(const char* node, const char* service, const AddrInfo* hints, AddrInfo** result) {
    if (result == nullptr) return wsa_last_error = kWsaEfault;
    *result = nullptr;
    addrinfo native_hints{};
    if (hints != nullptr) {
        const int family = linux_family(hints->family);
        if (family < 0) return wsa_last_error = kWsaEafnosupport;
        native_hints.ai_family = family;
        native_hints.ai_socktype = hints->socket_type == kSockDgram ? SOCK_DGRAM : hints->socket_type;
        native_hints.ai_protocol = hints->protocol;
        native_hints.ai_flags = hints->flags & (AI_PASSIVE | AI_CANONNAME | AI_NUMERICHOST);
    }
    // Numeric conversion only: no name service is ever asked.
    native_hints.ai_flags |= AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* native = nullptr;
    if (const int error = ::getaddrinfo(node, service, &native_hints, &native); error != 0) {
        return wsa_last_error = wsa_code_of_gai(error);
    }
    AddrInfo** tail = result;
    for (const addrinfo* entry = native; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6) continue;
        auto* copy = static_cast<AddrInfo*>(std::calloc(1, sizeof(AddrInfo)));
        auto* address = static_cast<SockAddr*>(std::calloc(1, sizeof(SockAddrIn6)));
        if (copy == nullptr || address == nullptr) {
            std::free(copy);
            std::free(address);
            free_addr_info(*result);
            *result = nullptr;
            ::freeaddrinfo(native);
            return wsa_last_error = kWsaNotEnoughMemory;
        }
        sockaddr_storage storage{};
        std::memcpy(&storage, entry->ai_addr, entry->ai_addrlen);
        int length = sizeof(SockAddrIn6);
        from_linux(&storage, address, &length);
        copy->flags = hints ? hints->flags : 0;
        copy->family = wire_family(entry->ai_family);
        copy->socket_type = entry->ai_socktype == SOCK_DGRAM ? kSockDgram : entry->ai_socktype;
        copy->protocol = entry->ai_protocol;
        copy->address_length = static_cast<std::size_t>(length);
        copy->address = address;
        *tail = copy;
        tail = &copy->next;
    }
    ::freeaddrinfo(native);
    if (*result == nullptr) return wsa_last_error = kWsaHostNotFound;
    return 0;
}

int get_name_info(const SockAddr* address, int length, char* host, std::uint32_t host_length, char* service,
                  std::uint32_t service_length, int) {
    sockaddr_storage native;
    socklen_t native_length = 0;
    if (!to_linux(address, length, &native, &native_length)) return wsa_last_error;
    // Numeric forms only: never a reverse lookup.
    const int error = ::getnameinfo(reinterpret_cast<sockaddr*>(&native), native_length, host, host_length,
                                    service, service_length, NI_NUMERICHOST | NI_NUMERICSERV);
    if (error != 0) return wsa_last_error = wsa_code_of_gai(error);
    return 0;
}

// The exports of both modules ------------------------------------------------

#define TOLV_SOCKET_EXPORTS(startup)                                                                          \
    {"WSAStartup", as_export(&startup)}, {"WSACleanup", as_export(&cleanup)},                                 \
        {"WSAGetLastError", as_export(&get_last_error)}, {"socket", as_export(&open_socket)},                 \
        {"bind", as_export(&bind_socket)}, {"htons", as_export(&host_to_net16)},                              \
        {"ntohs", as_export(&net_to_host16)}, {"htonl", as_export(&host_to_net32)},                           \
        {"ntohl", as_export(&net_to_host32)}, {"getsockname", as_export(&get_sock_name)},                     \
        {"gethostname", as_export(&get_host_name)}, {"gethostbyname", as_export(&host_by_name)},              \
        {"getsockopt", as_export(&get_sock_opt)}, {"setsockopt", as_export(&set_sock_opt)},                   \
        {"inet_addr", as_export(&inet_address)}, {"inet_ntoa", as_export(&inet_text)},                        \
        {"sendto", as_export(&send_to)}, {"recvfrom", as_export(&receive_from)},                              \
        {"select", as_export(&select_sockets)}, {"closesocket", as_export(&close_socket)},                    \
        {"gethostbyaddr", as_export(&host_by_address)}, {"getservbyname", as_export(&service_by_name)}

const Export ws2_32_exports[] = {
    TOLV_SOCKET_EXPORTS(ws2_startup),
    {"getaddrinfo", as_export(&get_addr_info)},
    {"getnameinfo", as_export(&get_name_info)},
    {"freeaddrinfo", as_export(&free_addr_info)},
    {nullptr, nullptr},
};

const Export wsock32_exports[] = {
    TOLV_SOCKET_EXPORTS(wsock_startup),
    {nullptr, nullptr},
};

#undef TOLV_SOCKET_EXPORTS

const BuiltinModule builtins[] = {
    {"ws2_32.dll", ws2_32_exports},
    {"wsock32.dll", wsock32_exports},
};
}  // namespace

std::span<const BuiltinModule> builtin_modules() { return builtins; }

}  // namespace tolv::platform
