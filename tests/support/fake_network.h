// A scripted socket library that tests register in place of the real one.
// A test states what the network does (datagrams that arrive from chosen
// senders, silence, failures of select, recvfrom, sendto, socket, bind and
// setsockopt, short sends) and reads back what was sent. Nothing sleeps:
// a select with nothing scripted answers "time-out" at once and records
// the time it was asked to wait.
//
//     FakeNetwork network;                       // now "ws2_32.dll"
//     network.arrive("10.0.0.7", 161, bytes);    // the next datagram
//     network.silence();                         // then a time-out
//     ... run the code under test ...
//     EXPECT_EQ(network.sent().size(), 2u);
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/module_registry.h"
#include "platform/winsock.h"

namespace tolv::testing {

struct Datagram {
    std::string host;  // numeric text: IPv4, IPv6 or IPX "nnnnnnnn:hhhhhhhhhhhh"
    std::uint16_t port = 0;
    std::vector<std::uint8_t> bytes;
};

class FakeNetwork {
public:
    struct Options {
        bool with_addrinfo = true;  // getaddrinfo, getnameinfo, freeaddrinfo exported
        std::uint8_t highest_version = 2;  // 1: start-up 1.1 only
        const char* module_name = "ws2_32.dll";
    };

    FakeNetwork();
    explicit FakeNetwork(Options options);
    ~FakeNetwork();
    FakeNetwork(const FakeNetwork&) = delete;
    FakeNetwork& operator=(const FakeNetwork&) = delete;

    // The receive script, consumed in order by select and recvfrom.
    void arrive(const std::string& host, std::uint16_t port, std::vector<std::uint8_t> bytes);
    void silence();                    // the next select times out
    void fail_select(int wsa_error);   // the next select fails
    void fail_receive(int wsa_error);  // the next recvfrom fails (select says ready)

    // One-shot failures of the other calls.
    void fail_socket(int wsa_error);
    void fail_bind(int wsa_error);
    void fail_send(int wsa_error);
    void fail_setsockopt(int wsa_error);
    void short_send(int bytes);  // the next sendto reports this many bytes sent

    // Lets scripted time pass: each datagram handed out takes this many
    // milliseconds, and a select that times out takes its whole wait.
    void let_time_pass(std::uint32_t ms_per_datagram);
    std::uint32_t now_ms() const { return clock_ms_; }

    // Called for every datagram sent; what it returns arrives afterwards.
    void answer_with(std::function<std::vector<Datagram>(const Datagram& sent)> responder);

    const std::vector<Datagram>& sent() const { return sent_; }
    const std::vector<int>& select_waits_ms() const { return select_waits_; }  // -1: without limit
    std::size_t pending() const { return script_.size(); }
    int open_sockets() const;
    int startups() const { return startups_; }
    bool broadcast_on(winsock::Socket socket) const;
    // The option bytes of the last multicast membership request.
    const std::vector<std::uint8_t>& last_membership() const { return last_membership_; }

    // Used by the module's functions.
    struct Event;
    struct FakeSocket;
    static FakeNetwork* current();

private:
    friend struct FakeModule;
    Options options_;
    std::deque<Event*> script_;
    std::vector<FakeSocket*> sockets_;
    std::vector<Datagram> sent_;
    std::vector<int> select_waits_;
    std::vector<std::uint8_t> last_membership_;
    std::function<std::vector<Datagram>(const Datagram&)> responder_;
    int fail_socket_ = 0;
    int fail_bind_ = 0;
    int fail_send_ = 0;
    int fail_setsockopt_ = 0;
    int short_send_ = -1;
    int startups_ = 0;
    std::uint16_t next_port_ = 49152;
    bool scripted_time_ = false;
    std::uint32_t ms_per_datagram_ = 0;
    std::uint32_t clock_ms_ = 0;
    std::vector<platform::Export> exports_;
};

}  // namespace tolv::testing
