// The socket library contract the transport code is written against: the
// numbers, structure layouts and function signatures of Windows Sockets as
// the rest of the library expects them. The built-in modules implement it
// over Linux sockets; tests can register a scripted module in their place.
//
// Nothing outside src/platform/ includes a Linux socket header: the rest of
// the code sees only what is declared here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolv::winsock {

using Socket = std::uintptr_t;
inline constexpr Socket kInvalidSocket = ~Socket{0};
inline constexpr int kSocketError = -1;
inline constexpr std::uint32_t kInaddrNone = 0xFFFFFFFFu;

// Address families.
inline constexpr int kAfUnspec = 0;
inline constexpr int kAfInet = 2;
inline constexpr int kAfIpx = 6;
inline constexpr int kAfInet6 = 23;

inline constexpr int kSockDgram = 2;
inline constexpr int kNsprotoIpx = 1000;

// Socket options.
inline constexpr int kSolSocket = 0xFFFF;
inline constexpr int kSoBroadcast = 0x20;
inline constexpr int kIpprotoIp = 0;
inline constexpr int kIpAddMembership = 12;
inline constexpr int kIpprotoIpv6 = 41;
inline constexpr int kIpv6AddMembership = 12;

// Name lookup flags.
inline constexpr int kAiPassive = 0x01;
inline constexpr int kAiNumericHost = 0x04;
inline constexpr int kNiNumericHost = 0x02;
inline constexpr int kNiNumericServ = 0x08;
inline constexpr std::size_t kNiMaxHost = 1025;
inline constexpr std::size_t kNiMaxServ = 32;

// Start-up versions (low byte major, high byte minor).
inline constexpr std::uint16_t kVersion11 = 0x0101;
inline constexpr std::uint16_t kVersion22 = 0x0202;
inline constexpr std::size_t kStartupDataSize = 400;

// Error codes reported by the last-error function.
inline constexpr int kWsaEintr = 10004;
inline constexpr int kWsaEbadf = 10009;
inline constexpr int kWsaEacces = 10013;
inline constexpr int kWsaEfault = 10014;
inline constexpr int kWsaEinval = 10022;
inline constexpr int kWsaEmfile = 10024;
inline constexpr int kWsaEwouldblock = 10035;
inline constexpr int kWsaEnotsock = 10038;
inline constexpr int kWsaEmsgsize = 10040;
inline constexpr int kWsaEprotonosupport = 10043;
inline constexpr int kWsaEsocktnosupport = 10044;
inline constexpr int kWsaEopnotsupp = 10045;
inline constexpr int kWsaEafnosupport = 10047;
inline constexpr int kWsaEaddrinuse = 10048;
inline constexpr int kWsaEaddrnotavail = 10049;
inline constexpr int kWsaEnetdown = 10050;
inline constexpr int kWsaEnetunreach = 10051;
inline constexpr int kWsaEconnrefused = 10061;
inline constexpr int kWsaEhostunreach = 10065;
inline constexpr int kWsaVernotsupported = 10092;
inline constexpr int kWsaNotinitialised = 10093;
inline constexpr int kWsaTypeNotFound = 10109;
inline constexpr int kWsaHostNotFound = 11001;
inline constexpr int kWsaTryAgain = 11002;
inline constexpr int kWsaNoRecovery = 11003;
inline constexpr int kWsaNoData = 11004;
inline constexpr int kWsaNotEnoughMemory = 8;

// Socket address layouts: a 2-byte family in host order, then the family's
// fields, network order where the protocol says so.
struct SockAddr {
    std::uint16_t family;
    char data[14];
};

struct SockAddrIn {  // 16 bytes
    std::uint16_t family;
    std::uint16_t port;
    std::uint8_t address[4];
    std::uint8_t zero[8];
};

struct SockAddrIpx {  // 14 bytes
    std::uint16_t family;
    std::uint8_t network[4];
    std::uint8_t node[6];
    std::uint16_t socket;
};

struct SockAddrIn6 {  // 28 bytes
    std::uint16_t family;
    std::uint16_t port;
    std::uint32_t flow_info;
    std::uint8_t address[16];
    std::uint32_t scope_id;
};

inline constexpr int kSockAddrBufferSize = 128;

struct AddrInfo {
    int flags;
    int family;
    int socket_type;
    int protocol;
    std::size_t address_length;
    char* canonical_name;
    SockAddr* address;
    AddrInfo* next;
};

inline constexpr int kFdSetSize = 64;
struct FdSet {
    std::uint32_t count;
    Socket sockets[kFdSetSize];
};

struct TimeVal {
    std::int32_t seconds;
    std::int32_t microseconds;
};

struct InAddr {
    std::uint32_t address;  // network order
};

struct HostEnt;
struct ServEnt;

// Function signatures of the socket library.
using FnStartup = int (*)(std::uint16_t version, void* data);
using FnCleanup = int (*)();
using FnGetLastError = int (*)();
using FnSocket = Socket (*)(int family, int type, int protocol);
using FnBind = int (*)(Socket, const SockAddr* address, int length);
using FnHtons = std::uint16_t (*)(std::uint16_t);
using FnNtohs = std::uint16_t (*)(std::uint16_t);
using FnHtonl = std::uint32_t (*)(std::uint32_t);
using FnNtohl = std::uint32_t (*)(std::uint32_t);
using FnGetSockName = int (*)(Socket, SockAddr* address, int* length);
using FnGetHostName = int (*)(char* name, int length);
using FnGetHostByName = HostEnt* (*)(const char* name);
using FnGetSockOpt = int (*)(Socket, int level, int option, char* value, int* length);
using FnSetSockOpt = int (*)(Socket, int level, int option, const char* value, int length);
using FnInetAddr = std::uint32_t (*)(const char* text);
using FnInetNtoa = char* (*)(InAddr address);
using FnSendTo = int (*)(Socket, const char* data, int length, int flags, const SockAddr* to, int to_length);
using FnRecvFrom = int (*)(Socket, char* buffer, int length, int flags, SockAddr* from, int* from_length);
using FnSelect = int (*)(int ignored, FdSet* read, FdSet* write, FdSet* except, const TimeVal* timeout);
using FnCloseSocket = int (*)(Socket);
using FnGetHostByAddr = HostEnt* (*)(const char* address, int length, int type);
using FnGetServByName = ServEnt* (*)(const char* name, const char* protocol);
using FnGetAddrInfo = int (*)(const char* node, const char* service, const AddrInfo* hints, AddrInfo** result);
using FnGetNameInfo = int (*)(const SockAddr* address, int length, char* host, std::uint32_t host_length,
                              char* service, std::uint32_t service_length, int flags);
using FnFreeAddrInfo = void (*)(AddrInfo* list);

}  // namespace tolv::winsock
