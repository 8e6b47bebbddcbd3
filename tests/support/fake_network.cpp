#include "fake_network.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/builtin_modules.h"
#include "platform/kernel.h"
#include "transport/address_resolver.h"
#include "transport/socket_api.h"

namespace tolv::testing {
namespace ws = tolv::winsock;

struct FakeNetwork::Event {
    enum Kind { kArrival, kSilence, kSelectFailure, kReceiveFailure } kind;
    Datagram datagram;
    int error = 0;
};

struct FakeNetwork::FakeSocket {
    ws::Socket handle;
    int family;
    unsigned char bound[ws::kSockAddrBufferSize] = {};
    bool broadcast = false;
};

namespace {
FakeNetwork* instance = nullptr;
thread_local int last_error = 0;

// The built-in module's functions serve the conversions.
template <class F>
F builtin(const char* name) {
    for (const platform::BuiltinModule& module : platform::builtin_modules()) {
        if (std::strcmp(module.name, "ws2_32.dll") != 0) continue;
        for (const platform::Export* entry = module.exports; entry->name != nullptr; ++entry) {
            if (std::strcmp(entry->name, name) == 0) return reinterpret_cast<F>(entry->function);
        }
    }
    return nullptr;
}

int fail(int code) {
    last_error = code;
    return ws::kSocketError;
}

// The socket address of a numeric host text and port.
int to_sockaddr(const std::string& host, std::uint16_t port, unsigned char* out) {
    std::memset(out, 0, ws::kSockAddrBufferSize);
    unsigned n[10];
    if (host.size() == 21 && std::sscanf(host.c_str(), "%2x%2x%2x%2x:%2x%2x%2x%2x%2x%2x", &n[0], &n[1], &n[2],
                                         &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9]) == 10) {
        auto* ipx = reinterpret_cast<ws::SockAddrIpx*>(out);
        ipx->family = ws::kAfIpx;
        for (int i = 0; i < 4; ++i) ipx->network[i] = static_cast<std::uint8_t>(n[i]);
        for (int i = 0; i < 6; ++i) ipx->node[i] = static_cast<std::uint8_t>(n[4 + i]);
        ipx->socket = builtin<ws::FnHtons>("htons")(port);
        return sizeof(ws::SockAddrIpx);
    }
    ws::AddrInfo hints{};
    hints.flags = ws::kAiNumericHost;
    ws::AddrInfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (builtin<ws::FnGetAddrInfo>("getaddrinfo")(host.c_str(), service.c_str(), &hints, &list) != 0) return 0;
    const int length = static_cast<int>(list->address_length);
    std::memcpy(out, list->address, list->address_length);
    builtin<ws::FnFreeAddrInfo>("freeaddrinfo")(list);
    return length;
}

Datagram from_sockaddr(const ws::SockAddr* address) {
    Datagram d;
    if (address->family == ws::kAfIpx) {
        const auto* ipx = reinterpret_cast<const ws::SockAddrIpx*>(address);
        char text[24];
        std::snprintf(text, sizeof text, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x", ipx->network[0],
                      ipx->network[1], ipx->network[2], ipx->network[3], ipx->node[0], ipx->node[1], ipx->node[2],
                      ipx->node[3], ipx->node[4], ipx->node[5]);
        d.host = text;
        d.port = builtin<ws::FnNtohs>("ntohs")(ipx->socket);
        return d;
    }
    char host[ws::kNiMaxHost] = {};
    char service[ws::kNiMaxServ] = {};
    const int length = address->family == ws::kAfInet6 ? sizeof(ws::SockAddrIn6) : sizeof(ws::SockAddrIn);
    if (builtin<ws::FnGetNameInfo>("getnameinfo")(address, length, host, sizeof host, service, sizeof service,
                                                  ws::kNiNumericHost | ws::kNiNumericServ) == 0) {
        d.host = host;
        d.port = static_cast<std::uint16_t>(std::atoi(service));
    }
    return d;
}
}  // namespace

// The module's exported functions.
struct FakeModule {
    static FakeNetwork& net() { return *instance; }

    static FakeNetwork::FakeSocket* find(ws::Socket handle) {
        for (auto* socket : net().sockets_) {
            if (socket->handle == handle) return socket;
        }
        return nullptr;
    }

    static int startup(std::uint16_t version, void* data) {
        const int major = version & 0xFF;
        if (major == 0 || major > net().options_.highest_version) {
            last_error = ws::kWsaVernotsupported;
            return ws::kWsaVernotsupported;
        }
        if (data != nullptr) std::memset(data, 0, ws::kStartupDataSize);
        ++net().startups_;
        return 0;
    }

    static int cleanup() {
        if (net().startups_ == 0) return fail(ws::kWsaNotinitialised);
        --net().startups_;
        return 0;
    }

    static int get_last_error() { return last_error; }

    static ws::Socket open_socket(int family, int type, int) {
        if (net().startups_ == 0) return fail(ws::kWsaNotinitialised), ws::kInvalidSocket;
        if (int error = std::exchange(net().fail_socket_, 0); error != 0) return fail(error), ws::kInvalidSocket;
        if (type != ws::kSockDgram) return fail(ws::kWsaEsocktnosupport), ws::kInvalidSocket;
        if (family != ws::kAfInet && family != ws::kAfInet6 && family != ws::kAfIpx) {
            return fail(ws::kWsaEafnosupport), ws::kInvalidSocket;
        }
        auto* socket = new FakeNetwork::FakeSocket{};
        socket->handle = 1000 + net().sockets_.size() * 4;
        socket->family = family;
        net().sockets_.push_back(socket);
        return socket->handle;
    }

    static int bind(ws::Socket handle, const ws::SockAddr* address, int length) {
        FakeNetwork::FakeSocket* socket = find(handle);
        if (socket == nullptr) return fail(ws::kWsaEnotsock);
        if (int error = std::exchange(net().fail_bind_, 0); error != 0) return fail(error);
        if (address == nullptr || length < 2 || address->family != socket->family) return fail(ws::kWsaEfault);
        std::memcpy(socket->bound, address, std::min(length, ws::kSockAddrBufferSize));
        // Port 0 means any: hand out the next free one.
        auto* port = reinterpret_cast<std::uint16_t*>(socket->family == ws::kAfIpx ? socket->bound + 12
                                                                                   : socket->bound + 2);
        if (*port == 0) *port = builtin<ws::FnHtons>("htons")(net().next_port_++);
        return 0;
    }

    static int get_sock_name(ws::Socket handle, ws::SockAddr* address, int* length) {
        FakeNetwork::FakeSocket* socket = find(handle);
        if (socket == nullptr) return fail(ws::kWsaEnotsock);
        const int size = socket->family == ws::kAfInet6 ? sizeof(ws::SockAddrIn6)
                         : socket->family == ws::kAfIpx ? sizeof(ws::SockAddrIpx)
                                                         : sizeof(ws::SockAddrIn);
        if (address == nullptr || length == nullptr || *length < size) return fail(ws::kWsaEfault);
        std::memcpy(address, socket->bound, static_cast<std::size_t>(size));
        *length = size;
        return 0;
    }

    static int set_sock_opt(ws::Socket handle, int level, int option, const char* value, int length) {
        FakeNetwork::FakeSocket* socket = find(handle);
        if (socket == nullptr) return fail(ws::kWsaEnotsock);
        if (int error = std::exchange(net().fail_setsockopt_, 0); error != 0) return fail(error);
        if (level == ws::kSolSocket && option == ws::kSoBroadcast) {
            std::int32_t flag = 0;
            std::memcpy(&flag, value, sizeof flag);
            socket->broadcast = flag != 0;
        } else {
            net().last_membership_.assign(value, value + length);
        }
        return 0;
    }

    static int get_sock_opt(ws::Socket, int, int, char*, int*) { return fail(ws::kWsaEinval); }

    static int send_to(ws::Socket handle, const char* data, int length, int, const ws::SockAddr* to, int) {
        if (find(handle) == nullptr) return fail(ws::kWsaEnotsock);
        if (int error = std::exchange(net().fail_send_, 0); error != 0) return fail(error);
        Datagram sent = from_sockaddr(to);
        sent.bytes.assign(data, data + length);
        net().sent_.push_back(sent);
        if (net().responder_) {
            for (Datagram& reply : net().responder_(sent)) net().arrive(reply.host, reply.port, std::move(reply.bytes));
        }
        const int reported = std::exchange(net().short_send_, -1);
        return reported >= 0 ? reported : length;
    }

    static int receive_from(ws::Socket handle, char* buffer, int length, int, ws::SockAddr* from, int* from_length) {
        if (find(handle) == nullptr) return fail(ws::kWsaEnotsock);
        auto& script = net().script_;
        if (script.empty() || (script.front()->kind != FakeNetwork::Event::kArrival &&
                               script.front()->kind != FakeNetwork::Event::kReceiveFailure)) {
            return fail(ws::kWsaEwouldblock);
        }
        FakeNetwork::Event* event = script.front();
        script.pop_front();
        const Datagram datagram = event->datagram;
        const FakeNetwork::Event::Kind kind = event->kind;
        const int error = event->error;
        delete event;
        if (kind == FakeNetwork::Event::kReceiveFailure) return fail(error);
        if (static_cast<int>(datagram.bytes.size()) > length) return fail(ws::kWsaEmsgsize);
        std::memcpy(buffer, datagram.bytes.data(), datagram.bytes.size());
        unsigned char address[ws::kSockAddrBufferSize];
        const int size = to_sockaddr(datagram.host, datagram.port, address);
        if (from != nullptr && from_length != nullptr) {
            std::memcpy(from, address, static_cast<std::size_t>(std::min(*from_length, ws::kSockAddrBufferSize)));
            *from_length = size;
        }
        return static_cast<int>(datagram.bytes.size());
    }

    static int select(int, ws::FdSet* read, ws::FdSet*, ws::FdSet*, const ws::TimeVal* timeout) {
        const int wait = timeout ? timeout->seconds * 1000 + timeout->microseconds / 1000 : -1;
        net().select_waits_.push_back(wait);
        auto& script = net().script_;
        if (script.empty() || script.front()->kind == FakeNetwork::Event::kSilence) {
            if (net().scripted_time_ && wait > 0) net().clock_ms_ += static_cast<std::uint32_t>(wait);
            if (!script.empty()) {
                delete script.front();
                script.pop_front();
            }
            if (read != nullptr) read->count = 0;
            return 0;
        }
        if (script.front()->kind == FakeNetwork::Event::kSelectFailure) {
            const int error = script.front()->error;
            delete script.front();
            script.pop_front();
            return fail(error);
        }
        if (net().scripted_time_) net().clock_ms_ += net().ms_per_datagram_;
        return read != nullptr && read->count > 0 ? 1 : 0;
    }

    static int close_socket(ws::Socket handle) {
        auto& sockets = net().sockets_;
        for (auto it = sockets.begin(); it != sockets.end(); ++it) {
            if ((*it)->handle == handle) {
                delete *it;
                sockets.erase(it);
                return 0;
            }
        }
        return fail(ws::kWsaEnotsock);
    }
};

FakeNetwork::FakeNetwork() : FakeNetwork(Options{}) {}

FakeNetwork::FakeNetwork(Options options) : options_(options) {
    instance = this;
    using platform::as_export;
    exports_ = {
        {"WSAStartup", as_export(&FakeModule::startup)},
        {"WSACleanup", as_export(&FakeModule::cleanup)},
        {"WSAGetLastError", as_export(&FakeModule::get_last_error)},
        {"socket", as_export(&FakeModule::open_socket)},
        {"bind", as_export(&FakeModule::bind)},
        {"getsockname", as_export(&FakeModule::get_sock_name)},
        {"getsockopt", as_export(&FakeModule::get_sock_opt)},
        {"setsockopt", as_export(&FakeModule::set_sock_opt)},
        {"sendto", as_export(&FakeModule::send_to)},
        {"recvfrom", as_export(&FakeModule::receive_from)},
        {"select", as_export(&FakeModule::select)},
        {"closesocket", as_export(&FakeModule::close_socket)},
    };
    // The conversions are the real ones.
    for (const char* name : {"htons", "ntohs", "htonl", "ntohl", "gethostname", "gethostbyname", "inet_addr",
                             "inet_ntoa", "gethostbyaddr", "getservbyname"}) {
        exports_.push_back({name, builtin<platform::Function>(name)});
    }
    if (options.with_addrinfo) {
        for (const char* name : {"getaddrinfo", "getnameinfo", "freeaddrinfo"}) {
            exports_.push_back({name, builtin<platform::Function>(name)});
        }
    }
    exports_.push_back({nullptr, nullptr});
    NPmcSocketAPI::unload();
    pmc_reset_address_resolver();
    if (std::strcmp(options.module_name, "ws2_32.dll") != 0) platform::hide_module("ws2_32.dll");
    platform::register_module(options.module_name, exports_.data());
}

void FakeNetwork::let_time_pass(std::uint32_t ms_per_datagram) {
    scripted_time_ = true;
    ms_per_datagram_ = ms_per_datagram;
    platform::set_tick_source([] { return instance ? instance->clock_ms_ : 0u; });
}

FakeNetwork::~FakeNetwork() {
    platform::set_tick_source(nullptr);
    NPmcSocketAPI::unload();
    pmc_reset_address_resolver();
    platform::restore_builtin_modules();
    for (Event* event : script_) delete event;
    for (FakeSocket* socket : sockets_) delete socket;
    instance = nullptr;
}

FakeNetwork* FakeNetwork::current() { return instance; }

void FakeNetwork::arrive(const std::string& host, std::uint16_t port, std::vector<std::uint8_t> bytes) {
    script_.push_back(new Event{Event::kArrival, Datagram{host, port, std::move(bytes)}, 0});
}

void FakeNetwork::silence() { script_.push_back(new Event{Event::kSilence, {}, 0}); }

void FakeNetwork::fail_select(int wsa_error) { script_.push_back(new Event{Event::kSelectFailure, {}, wsa_error}); }

void FakeNetwork::fail_receive(int wsa_error) {
    script_.push_back(new Event{Event::kReceiveFailure, {}, wsa_error});
}

void FakeNetwork::fail_socket(int wsa_error) { fail_socket_ = wsa_error; }
void FakeNetwork::fail_bind(int wsa_error) { fail_bind_ = wsa_error; }
void FakeNetwork::fail_send(int wsa_error) { fail_send_ = wsa_error; }
void FakeNetwork::fail_setsockopt(int wsa_error) { fail_setsockopt_ = wsa_error; }
void FakeNetwork::short_send(int bytes) { short_send_ = bytes; }

void FakeNetwork::answer_with(std::function<std::vector<Datagram>(const Datagram&)> responder) {
    responder_ = std::move(responder);
}

int FakeNetwork::open_sockets() const { return static_cast<int>(sockets_.size()); }

bool FakeNetwork::broadcast_on(winsock::Socket socket) const {
    for (const FakeSocket* s : sockets_) {
        if (s->handle == socket) return s->broadcast;
    }
    return false;
}

}  // namespace tolv::testing
