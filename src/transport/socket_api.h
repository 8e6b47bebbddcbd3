// NPmcSocketAPI: the socket library, loaded by name on first need
// ("ws2_32.dll", else "wsock32.dll") and bound function by function. Every
// socket call of the transport goes through these pointers.
#pragma once

#include <cstdint>

#include "platform/module_registry.h"
#include "platform/winsock.h"

namespace NPmcSocketAPI {

namespace ws = tolv::winsock;

extern ws::FnStartup WSAStartup;
extern ws::FnCleanup WSACleanup;
extern ws::FnGetLastError WSAGetLastError;
extern ws::FnSocket socket;
extern ws::FnBind bind;
extern ws::FnHtons htons;
extern ws::FnNtohs ntohs;
extern ws::FnGetSockName getsockname;
extern ws::FnGetHostName gethostname;
extern ws::FnGetHostByName gethostbyname;
extern ws::FnGetSockOpt getsockopt;
extern ws::FnSetSockOpt setsockopt;
extern ws::FnInetAddr inet_addr;
extern ws::FnInetNtoa inet_ntoa;
extern ws::FnSendTo sendto;
extern ws::FnRecvFrom recvfrom;
extern ws::FnSelect select;
extern ws::FnCloseSocket closesocket;
extern ws::FnGetHostByAddr gethostbyaddr;
extern ws::FnGetServByName getservbyname;
extern ws::FnGetAddrInfo getaddrinfo;
extern ws::FnGetNameInfo getnameinfo;
extern ws::FnFreeAddrInfo freeaddrinfo;

// Binds the function tables from a loaded module: 0, or -1 when a required
// function is missing (or an optional one for an unexpected reason).
std::int32_t set_api(tolv::platform::ModuleHandle module);
// Loads and binds once per process: 0, -10 when no socket library loads,
// or the binding's error.
std::int32_t load();
bool is_loaded();
// Whether getaddrinfo, getnameinfo and freeaddrinfo are all bound.
bool has_addrinfo();
std::int32_t startup_1_1();
std::int32_t startup_2_2();
void cleanup();

// Forgets the binding and frees the module, so that the next load() binds
// anew (tests use it to put another module in place).
void unload();

}  // namespace NPmcSocketAPI
