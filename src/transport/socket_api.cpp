#include "transport/socket_api.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "log/module_logger.h"
#include "tolvcomm/result_codes.h"

namespace NPmcSocketAPI {

using tolv::log::socket_logger;
namespace platform = tolv::platform;

ws::FnStartup WSAStartup = nullptr;
ws::FnCleanup WSACleanup = nullptr;
ws::FnGetLastError WSAGetLastError = nullptr;
ws::FnSocket socket = nullptr;
ws::FnBind bind = nullptr;
ws::FnHtons htons = nullptr;
ws::FnNtohs ntohs = nullptr;
ws::FnGetSockName getsockname = nullptr;
ws::FnGetHostName gethostname = nullptr;
ws::FnGetHostByName gethostbyname = nullptr;
ws::FnGetSockOpt getsockopt = nullptr;
ws::FnSetSockOpt setsockopt = nullptr;
ws::FnInetAddr inet_addr = nullptr;
ws::FnInetNtoa inet_ntoa = nullptr;
ws::FnSendTo sendto = nullptr;
ws::FnRecvFrom recvfrom = nullptr;
ws::FnSelect select = nullptr;
ws::FnCloseSocket closesocket = nullptr;
ws::FnGetHostByAddr gethostbyaddr = nullptr;
ws::FnGetServByName getservbyname = nullptr;
ws::FnGetAddrInfo getaddrinfo = nullptr;
ws::FnGetNameInfo getnameinfo = nullptr;
ws::FnFreeAddrInfo freeaddrinfo = nullptr;

namespace {
// One entry of a binding table: where the pointer lives and the export name.
struct Binding {
    void* slot;
    const char* name;
};

template <class F>
Binding bind_entry(F& pointer, const char* name) {
    return Binding{&pointer, name};
}

const Binding kRequired[] = {
    bind_entry(WSAStartup, "WSAStartup"),       bind_entry(WSACleanup, "WSACleanup"),
    bind_entry(WSAGetLastError, "WSAGetLastError"), bind_entry(socket, "socket"),
    bind_entry(bind, "bind"),                   bind_entry(htons, "htons"),
    bind_entry(ntohs, "ntohs"),                 bind_entry(getsockname, "getsockname"),
    bind_entry(gethostname, "gethostname"),     bind_entry(gethostbyname, "gethostbyname"),
    bind_entry(getsockopt, "getsockopt"),       bind_entry(setsockopt, "setsockopt"),
    bind_entry(inet_addr, "inet_addr"),         bind_entry(inet_ntoa, "inet_ntoa"),
    bind_entry(sendto, "sendto"),               bind_entry(recvfrom, "recvfrom"),
    bind_entry(select, "select"),               bind_entry(closesocket, "closesocket"),
    bind_entry(gethostbyaddr, "gethostbyaddr"), bind_entry(getservbyname, "getservbyname"),
    {nullptr, nullptr},
};

const Binding kOptional[] = {
    bind_entry(getaddrinfo, "getaddrinfo"),
    bind_entry(getnameinfo, "getnameinfo"),
    bind_entry(freeaddrinfo, "freeaddrinfo"),
    {nullptr, nullptr},
};

std::atomic<platform::ModuleHandle> module{nullptr};
std::atomic<bool> addrinfo_bound{false};
std::mutex loader_lock;

void store(const Binding& entry, platform::Function function) {
    std::memcpy(entry.slot, &function, sizeof function);
}

void log_missing(const char* name) {
    socket_logger().log(log_level::kError, "[NPmcSocketAPI::set_api] fail GetProcAddress \"%s\": GetLastError()=%d",
                        name, static_cast<int>(platform::get_last_error()));
}

platform::ModuleHandle load_by_name(const char* name) {
    platform::ModuleHandle handle = platform::load_library(name);
    if (handle == nullptr) handle = platform::load_library_ex(name, platform::kLoadWithAlteredSearchPath);
    return handle;
}

std::int32_t startup(std::uint16_t version, const char* failure_format) {
    if (const std::int32_t code = load(); code != tolv::kOk) return code;
    unsigned char data[ws::kStartupDataSize];
    if (WSAStartup(version, data) != 0) {
        socket_logger().log(log_level::kError, failure_format, WSAGetLastError());
        return tolv::kErrPlatform;
    }
    return tolv::kOk;
}
}  // namespace

std::int32_t set_api(platform::ModuleHandle handle) {
    tolv::log::TraceScope trace(socket_logger(), "NPmcSocketAPI::set_api");
    for (const Binding* entry = kRequired; entry->name != nullptr; ++entry) {
        const platform::Function function = platform::get_proc_address(handle, entry->name);
        if (function == nullptr) {
            log_missing(entry->name);
            return tolv::kErrPlatform;
        }
        store(*entry, function);
    }
    for (const Binding* entry = kOptional; entry->name != nullptr; ++entry) {
        const platform::Function function = platform::get_proc_address(handle, entry->name);
        if (function == nullptr) {
            const std::uint32_t error = platform::get_last_error();
            if (error == platform::kErrorModuleNotFound || error == platform::kErrorProcNotFound) {
                addrinfo_bound = false;  // an older library: a normal case
                return tolv::kOk;
            }
            log_missing(entry->name);
            return tolv::kErrPlatform;
        }
        store(*entry, function);
    }
    addrinfo_bound = true;
    return tolv::kOk;
}

std::int32_t load() {
    if (module.load(std::memory_order_acquire) != nullptr) return tolv::kOk;
    std::lock_guard guard(loader_lock);
    if (module.load(std::memory_order_relaxed) != nullptr) return tolv::kOk;
    platform::ModuleHandle handle = load_by_name("ws2_32.dll");
    if (handle == nullptr) handle = load_by_name("wsock32.dll");
    if (handle == nullptr) return tolv::kErrUnavailable;
    if (const std::int32_t code = set_api(handle); code != tolv::kOk) {
        platform::free_library(handle);  // the next call tries again
        return code;
    }
    module.store(handle, std::memory_order_release);
    return tolv::kOk;
}

bool is_loaded() { return module.load(std::memory_order_acquire) != nullptr; }

bool has_addrinfo() { return load() == tolv::kOk && addrinfo_bound.load(); }

std::int32_t startup_1_1() { return startup(ws::kVersion11, "fail WSAStartup(1.1). WSAGetLastError()=%d"); }

std::int32_t startup_2_2() { return startup(ws::kVersion22, "fail WSAStartup(2.2). WSAGetLastError()=%d"); }

void cleanup() {
    if (is_loaded()) WSACleanup();
}

void unload() {
    std::lock_guard guard(loader_lock);
    platform::ModuleHandle handle = module.exchange(nullptr);
    if (handle != nullptr) platform::free_library(handle);
    addrinfo_bound = false;
    for (const Binding* entry = kRequired; entry->name != nullptr; ++entry) store(*entry, nullptr);
    for (const Binding* entry = kOptional; entry->name != nullptr; ++entry) store(*entry, nullptr);
}

}  // namespace NPmcSocketAPI
