#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_network.h"
#include "log_capture.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"
#include "transport/address_resolver.h"
#include "transport/datagram_socket.h"
#include "transport/network_address.h"
#include "transport/socket_api.h"

using namespace tolv;
using tolv::testing::FakeNetwork;
using tolv::testing::LogCapture;
using P = IPmcNetworkAddress;

namespace {
Owned<DataGramSocket> open_socket(P::EProtocol protocol, std::uint16_t port = 0) {
    DataGramSocket* socket = nullptr;
    EXPECT_EQ(pmc_create_datagram_socket(protocol, port, &socket), kOk);
    return Owned<DataGramSocket>(socket);
}

Owned<IPmcNetworkAddress> destination(const char* text, std::uint16_t port) {
    auto address = own(pmc_create_network_address(nullptr));
    address->assign(text, P::Unspecified, port);
    return address;
}

const std::vector<std::uint8_t> kPayload = {0x30, 0x03, 0x02, 0x01, 0x00};

// Every test starts from a fresh binding of the socket library.
class SocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        NPmcSocketAPI::unload();
        pmc_reset_address_resolver();
    }
    void TearDown() override {
        network.reset();
        NPmcSocketAPI::unload();
        pmc_reset_address_resolver();
    }
    LogCapture log;
    std::optional<FakeNetwork> network;
};
}  // namespace

// Real sockets on loopback ---------------------------------------------------------

TEST_F(SocketTest, FactoryRefusesUnknownProtocolsAndNullOut) {
    for (const int protocol : {0, 3, 5}) {
        DataGramSocket* socket = reinterpret_cast<DataGramSocket*>(1);
        EXPECT_EQ(pmc_create_datagram_socket(static_cast<P::EProtocol>(protocol), &socket), kErrBadArgument);
        EXPECT_EQ(socket, nullptr);
    }
    EXPECT_EQ(pmc_create_datagram_socket(P::IPv4, nullptr), kErrBadArgument);
}

TEST_F(SocketTest, PortZeroBindsAPortThePlatformChooses) {
    auto socket = open_socket(P::IPv4);
    ASSERT_NE(socket, nullptr);
    EXPECT_NE(socket->local_address()->port(), 0);
    EXPECT_STREQ(socket->local_address()->text(), "0.0.0.0");
    EXPECT_EQ(socket->local_address()->protocol(), P::IPv4);
    EXPECT_TRUE(log.contains("Debug, create socket. id:0x"));
}

TEST_F(SocketTest, LoopbackExchangeOverIpv4AndIpv6) {
    for (const auto& [protocol, loopback] : {std::pair{P::IPv4, "127.0.0.1"}, std::pair{P::IPv6, "::1"}}) {
        auto receiver = open_socket(protocol);
        auto sender = open_socket(protocol);
        ASSERT_NE(receiver, nullptr);
        ASSERT_NE(sender, nullptr);
        auto to = destination(loopback, receiver->local_address()->port());
        ASSERT_EQ(sender->send(kPayload.data(), kPayload.size(), to.get()), kOk);

        std::uint8_t buffer[64];
        std::int32_t received = 0;
        IPmcNetworkAddress* from = nullptr;
        ASSERT_EQ(receiver->receive(buffer, sizeof buffer, 2000, &received, &from), kOk) << loopback;
        auto owned_from = own(from);
        EXPECT_EQ(received, static_cast<std::int32_t>(kPayload.size()));
        EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + received), kPayload);
        EXPECT_STREQ(from->text(), loopback);
        EXPECT_EQ(from->port(), sender->local_address()->port());
        EXPECT_EQ(from->protocol(), protocol);
    }
    EXPECT_TRUE(log.contains("[DataGramSocket::send] send packet. port:"));
    EXPECT_TRUE(log.contains("[DataGramSocket::receive] receive packet port:"));
}

TEST_F(SocketTest, ReceiveWithTimeZeroTimesOutAtOnce) {
    auto socket = open_socket(P::IPv4);
    std::uint8_t buffer[16];
    std::int32_t received = 0;
    IPmcNetworkAddress* from = reinterpret_cast<IPmcNetworkAddress*>(1);
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 0, &received, &from), kErrTimeout);
    EXPECT_EQ(from, nullptr);
    EXPECT_TRUE(log.contains("Trace, select API timeout."));
    EXPECT_EQ(socket->receive(nullptr, 1, 0, &received, &from), kErrBadArgument);
    EXPECT_EQ(socket->receive(buffer, 1, 0, nullptr, &from), kErrBadArgument);
    EXPECT_EQ(socket->receive(buffer, 1, 0, &received, nullptr), kErrBadArgument);
}

TEST_F(SocketTest, DatagramLargerThanTheBufferIsAReceiveError) {
    auto receiver = open_socket(P::IPv4);
    auto sender = open_socket(P::IPv4);
    auto to = destination("127.0.0.1", receiver->local_address()->port());
    const std::vector<std::uint8_t> large(3000, 0xAB);
    ASSERT_EQ(sender->send(large.data(), large.size(), to.get()), kOk);
    ASSERT_EQ(sender->send(kPayload.data(), kPayload.size(), to.get()), kOk);
    std::uint8_t buffer[2048];
    std::int32_t received = 0;
    IPmcNetworkAddress* from = nullptr;
    EXPECT_EQ(receiver->receive(buffer, sizeof buffer, 2000, &received, &from), kErrReceive);
    EXPECT_TRUE(log.contains("Error, fail recvfrom(). WSAGetLastError()=10040"));
    // The large datagram is gone; the next one arrives whole.
    ASSERT_EQ(receiver->receive(buffer, sizeof buffer, 2000, &received, &from), kOk);
    auto owned_from = own(from);
    EXPECT_EQ(received, static_cast<std::int32_t>(kPayload.size()));
}

TEST_F(SocketTest, UnconvertibleDestinationIsABadArgumentWithoutErrorLine) {
    auto socket = open_socket(P::IPv4);
    auto to = destination("not-an-address", 161);
    EXPECT_EQ(socket->send(kPayload.data(), kPayload.size(), to.get()), kErrBadArgument);
    EXPECT_FALSE(log.contains("Error"));
    EXPECT_EQ(socket->send(nullptr, 1, to.get()), kErrBadArgument);
    EXPECT_EQ(socket->send(kPayload.data(), 1, nullptr), kErrBadArgument);
}

TEST_F(SocketTest, IpxSocketsCannotBeCreatedOnLinux) {
    DataGramSocket* socket = nullptr;
    EXPECT_EQ(pmc_create_datagram_socket(P::IPX, &socket), kErrSocketCreate);
    EXPECT_EQ(socket, nullptr);
    EXPECT_TRUE(log.contains("Error, fail socket(). WSAGetLastError()=10047"));
}

TEST_F(SocketTest, BroadcastSwitchIsForIpv4AndIpxOnly) {
    auto v6 = open_socket(P::IPv6);
    EXPECT_EQ(v6->set_broadcast(true), kOk);  // nothing to do
    auto v4 = open_socket(P::IPv4);
    EXPECT_EQ(v4->set_broadcast(true), kOk);
    EXPECT_EQ(v4->set_broadcast(false), kOk);
}

// The scripted socket library -----------------------------------------------------

TEST_F(SocketTest, ReleaseClosesTheSocketAndCleansTheLibraryUp) {
    network.emplace();
    {
        auto socket = open_socket(P::IPv4, 5000);
        EXPECT_EQ(socket->local_address()->port(), 5000);
        EXPECT_EQ(network->open_sockets(), 1);
        EXPECT_EQ(network->startups(), 1);
    }
    EXPECT_EQ(network->open_sockets(), 0);
    EXPECT_EQ(network->startups(), 0);
}

TEST_F(SocketTest, FailuresOfSocketAndBindReleaseEverything) {
    network.emplace();
    DataGramSocket* socket = nullptr;
    network->fail_socket(10055);
    EXPECT_EQ(pmc_create_datagram_socket(P::IPv4, &socket), kErrSocketCreate);
    EXPECT_TRUE(log.contains("Error, fail socket(). WSAGetLastError()=10055"));
    network->fail_bind(10048);
    EXPECT_EQ(pmc_create_datagram_socket(P::IPv4, &socket), kErrBind);
    EXPECT_TRUE(log.contains("Error, fail bind(). WSAGetLastError()=10048"));
    EXPECT_EQ(socket, nullptr);
    EXPECT_EQ(network->open_sockets(), 0);
    EXPECT_EQ(network->startups(), 0);
}

TEST_F(SocketTest, Ipv6NeedsTheProtocolIndependentLibrary) {
    network.emplace(FakeNetwork::Options{.with_addrinfo = false});
    DataGramSocket* socket = nullptr;
    EXPECT_EQ(pmc_create_datagram_socket(P::IPv6, &socket), kErrNotFound);
    EXPECT_EQ(network->startups(), 0);
}

TEST_F(SocketTest, LimitedBroadcastConverts) {
    network.emplace();
    auto socket = open_socket(P::IPv4);
    EXPECT_EQ(socket->set_broadcast(true), kOk);
    EXPECT_TRUE(network->broadcast_on(socket->handle()));
    auto to = destination("255.255.255.255", 161);
    EXPECT_EQ(socket->send(kPayload.data(), kPayload.size(), to.get()), kOk);
    ASSERT_EQ(network->sent().size(), 1u);
    EXPECT_EQ(network->sent()[0].host, "255.255.255.255");
    EXPECT_EQ(network->sent()[0].port, 161);
    EXPECT_EQ(network->sent()[0].bytes, kPayload);

    network->fail_setsockopt(10022);
    EXPECT_EQ(socket->set_broadcast(true), kErrPlatform);
    EXPECT_TRUE(log.contains("Error, fail setsockopt(). can't set broadcast flag. WSAGetLastError()=10022"));
}

TEST_F(SocketTest, ShortSendIsOnlyAWarning) {
    network.emplace();
    auto socket = open_socket(P::IPv4);
    auto to = destination("10.0.0.7", 161);
    network->short_send(2);
    EXPECT_EQ(socket->send(kPayload.data(), kPayload.size(), to.get()), kOk);
    EXPECT_TRUE(log.contains("Warn , send(). size of sended bytes is not same that of buffer."));
    network->fail_send(10065);
    EXPECT_EQ(socket->send(kPayload.data(), kPayload.size(), to.get()), kErrSend);
    EXPECT_TRUE(log.contains("Error, fail send(). WSAGetLastError()=10065"));
}

TEST_F(SocketTest, ReceiveWaitsAsLongAsAskedAndReportsFailures) {
    network.emplace();
    auto socket = open_socket(P::IPv4);
    std::uint8_t buffer[64];
    std::int32_t received = 0;
    IPmcNetworkAddress* from = nullptr;
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 1500, &received, &from), kErrTimeout);
    network->arrive("10.0.0.9", 161, kPayload);
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, -1, &received, &from), kOk);
    auto owned_from = own(from);
    EXPECT_STREQ(from->text(), "10.0.0.9");
    EXPECT_EQ(network->select_waits_ms(), (std::vector<int>{1500, -1}));

    network->fail_select(10038);
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 100, &received, &from), kErrReceive);
    EXPECT_TRUE(log.contains("Error, fail select(). WSAGetLastError()=10038"));
    network->fail_receive(10054);
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, 100, &received, &from), kErrReceive);
    EXPECT_TRUE(log.contains("Error, fail recvfrom(). WSAGetLastError()=10054"));
}

TEST_F(SocketTest, IpxTrafficThroughTheScriptedLibrary) {
    network.emplace();
    auto socket = open_socket(P::IPX);
    ASSERT_NE(socket, nullptr);
    EXPECT_STREQ(socket->local_address()->text(), "00000000:000000000000");
    EXPECT_EQ(socket->set_broadcast(true), kOk);
    auto to = destination("0000000a:ffffffffffff", 36879);
    EXPECT_EQ(socket->send(kPayload.data(), kPayload.size(), to.get()), kOk);
    EXPECT_EQ(network->sent().at(0).host, "0000000a:ffffffffffff");
    EXPECT_EQ(network->sent().at(0).port, 36879);

    network->arrive("0000000a:00c0ffee0001", 36879, kPayload);
    std::uint8_t buffer[64];
    std::int32_t received = 0;
    IPmcNetworkAddress* from = nullptr;
    ASSERT_EQ(socket->receive(buffer, sizeof buffer, 100, &received, &from), kOk);
    auto owned_from = own(from);
    EXPECT_STREQ(from->text(), "0000000a:00c0ffee0001");
    EXPECT_EQ(from->port(), 36879);
    EXPECT_EQ(from->protocol(), P::IPX);
}

TEST_F(SocketTest, MulticastMembershipRequests) {
    network.emplace();
    auto v6 = open_socket(P::IPv6);
    EXPECT_EQ(v6->join_multicast("ff02::1"), kOk);
    std::vector<std::uint8_t> expected(20, 0);
    expected[0] = 0xFF;
    expected[1] = 0x02;
    expected[15] = 0x01;  // then interface index 0
    EXPECT_EQ(network->last_membership(), expected);
    EXPECT_EQ(v6->join_multicast("ff02:1"), kErrBadArgument);

    auto v4 = open_socket(P::IPv4);
    EXPECT_EQ(v4->join_multicast("239.1.2.3"), kOk);
    EXPECT_EQ(network->last_membership(), (std::vector<std::uint8_t>{239, 1, 2, 3, 0, 0, 0, 0}));
    EXPECT_EQ(v4->join_multicast("not-a-group"), kErrPlatform);
    EXPECT_TRUE(log.contains("Error, fail inet_addr(). WSAGetLastError()="));
    network->fail_setsockopt(10049);
    EXPECT_EQ(v4->join_multicast("239.1.2.3"), kErrPlatform);
    EXPECT_TRUE(log.contains("Error, fail setsockopt(). can't set multicast flag. WSAGetLastError()=10049"));

    auto ipx = open_socket(P::IPX);
    EXPECT_EQ(ipx->join_multicast("ff02::1"), kErrBadArgument);
}
