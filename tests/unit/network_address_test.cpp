#include <gtest/gtest.h>

#include <optional>

#include "common/allocation.h"
#include "fake_network.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"
#include "transport/address_resolver.h"
#include "transport/address_text.h"
#include "transport/network_address.h"
#include "transport/socket_api.h"

using namespace tolv;
using tolv::testing::FakeNetwork;
using P = IPmcNetworkAddress;

namespace {
Owned<IPmcNetworkAddress> address_of(const char* text, std::uint16_t port = 0) {
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->set_text(text), kOk) << text;
    address->set_port(port);
    return address;
}

std::string numeric_text(const char* text, std::int32_t* code) {
    IPmcByteString* numeric = nullptr;
    *code = pmc_address_numeric_text(text, &numeric);
    auto owned = own(numeric);
    return numeric && numeric->get_length() ? numeric->get_data() : "";
}

// Runs the test once with each resolver: the protocol-independent one
// (socket library with getaddrinfo) and the IPv4/IPX one (without).
class ResolverTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (!GetParam()) network.emplace(FakeNetwork::Options{.with_addrinfo = false});
        pmc_reset_address_resolver();
        NPmcSocketAPI::unload();
    }
    void TearDown() override {
        network.reset();
        pmc_reset_address_resolver();
        NPmcSocketAPI::unload();
    }
    bool addrinfo() const { return GetParam(); }
    std::optional<FakeNetwork> network;
};
}  // namespace

INSTANTIATE_TEST_SUITE_P(BothResolvers, ResolverTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "AddrInfo" : "Hostent"; });

TEST_P(ResolverTest, ChoosesTheResolverByTheLibrary) {
    IPmcAddressResolver* resolver = pmc_address_resolver(nullptr);
    ASSERT_NE(resolver, nullptr);
    EXPECT_EQ(dynamic_cast<CPmcAddrInfoResolver*>(resolver) != nullptr, addrinfo());
}

TEST_P(ResolverTest, ProtocolOfTexts) {
    const struct {
        const char* text;
        std::int32_t addrinfo_code;
        P::EProtocol addrinfo_protocol;
        std::int32_t hostent_code;
        P::EProtocol hostent_protocol;
    } cases[] = {
        {"192.168.0.1", kOk, P::IPv4, kOk, P::IPv4},
        {"0000000a:00000000000b", kOk, P::IPX, kOk, P::IPX},
        {"0000000A:00000000000B", kOk, P::IPX, kOk, P::IPX},
        {"0000000a:00000000000", kErrPlatform, P::Unspecified, kErrNotFound, P::Unspecified},  // 20 characters
        {"0000000a:00000000000bb", kErrPlatform, P::Unspecified, kErrNotFound, P::Unspecified},
        {"fe80::1", kOk, P::IPv6, kErrNotFound, P::Unspecified},
        {"::1", kOk, P::IPv6, kErrNotFound, P::Unspecified},
        {"1.2.3.4x", kErrPlatform, P::Unspecified, kErrNotFound, P::Unspecified},
        {"256.1.1.1", kErrPlatform, P::Unspecified, kErrNotFound, P::Unspecified},
        {"printer.example", kErrPlatform, P::Unspecified, kErrNotFound, P::Unspecified},  // never resolved
        {"", kErrPlatform, P::Unspecified, kErrNotFound, P::Unspecified},
    };
    for (const auto& c : cases) {
        P::EProtocol protocol = P::IPX;
        const std::int32_t code = pmc_address_protocol(c.text, &protocol);
        EXPECT_EQ(code, addrinfo() ? c.addrinfo_code : c.hostent_code) << c.text;
        EXPECT_EQ(protocol, addrinfo() ? c.addrinfo_protocol : c.hostent_protocol) << c.text;
        bool valid = false;
        const bool answered = pmc_address_is_valid(c.text, &valid) == kOk;
        EXPECT_EQ(answered && valid, code == kOk && protocol != P::Unspecified) << c.text;
    }
    EXPECT_EQ(pmc_address_protocol(nullptr, nullptr), kErrBadArgument);
}

TEST_P(ResolverTest, NumericTexts) {
    std::int32_t code = 1;
    EXPECT_EQ(numeric_text("0000000a:00000000000b", &code), "0000000a:00000000000b");
    EXPECT_EQ(code, kOk);
    EXPECT_EQ(numeric_text("10.1.0.1", &code), "10.1.0.1");
    if (addrinfo()) {
        EXPECT_EQ(numeric_text("0:0::0:1", &code), "::1");
        EXPECT_EQ(numeric_text("FE80:0:0::1", &code), "fe80::1");
    } else {
        EXPECT_EQ(numeric_text("010.001.000.001", &code), "10.1.0.1");
        for (const char* refused : {"1.2.3.4x", "1.2.3", "256.1.1.1", "::1"}) {
            numeric_text(refused, &code);
            EXPECT_EQ(code, kErrNotFound) << refused;
        }
    }
    bool equal = false;
    EXPECT_EQ(pmc_address_equal("10.0.0.1", "10.0.0.1", &equal), kOk);
    EXPECT_TRUE(equal);
    EXPECT_EQ(pmc_address_equal("10.0.0.1", "10.0.0.2", &equal), kOk);
    EXPECT_FALSE(equal);
}

TEST_P(ResolverTest, SetTextKeepsTheProtocolFixed) {
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->set_text("192.168.0.1"), kOk);
    EXPECT_EQ(address->protocol(), P::IPv4);
    address->set_port(161);
    EXPECT_EQ(address->set_text("0000000a:00000000000b"), kErrBadArgument);
    EXPECT_STREQ(address->text(), "192.168.0.1");
    EXPECT_EQ(address->protocol(), P::IPv4);
    EXPECT_NE(address->set_text("not an address"), kOk);
    EXPECT_STREQ(address->text(), "192.168.0.1");
    EXPECT_EQ(address->set_text(nullptr), kErrBadArgument);
    // assign changes what set_text may not, and keeps the port.
    EXPECT_EQ(address->assign("fe80::1", P::IPv6, 0), kOk);
    EXPECT_EQ(address->protocol(), P::IPv6);
    EXPECT_EQ(address->port(), 161);

    auto ipx = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(ipx->set_text("0000000A:00000000000B"), kOk);
    EXPECT_STREQ(ipx->text(), "0000000a:00000000000b");
    EXPECT_EQ(ipx->protocol(), P::IPX);
    EXPECT_TRUE(ipx->is_valid());
}

TEST_P(ResolverTest, EqualityAddsProtocolAndTheOthersPort) {
    auto with_port = address_of("10.0.0.1", 161);
    auto without_port = address_of("10.0.0.1", 0);
    EXPECT_TRUE(with_port->equals(without_port.get()));   // the other has no port
    EXPECT_FALSE(without_port->equals(with_port.get()));  // the other has 161
    auto other_port = address_of("10.0.0.1", 162);
    EXPECT_FALSE(with_port->equals(other_port.get()));
    EXPECT_FALSE(with_port->equals(nullptr));
    auto relabelled = address_of("10.0.0.1", 0);
    relabelled->set_protocol(P::IPX);
    EXPECT_FALSE(with_port->equals(relabelled.get()));
    if (addrinfo()) {
        auto long_form = address_of("0:0:0:0:0:0:0:1");
        auto short_form = address_of("::1");
        EXPECT_TRUE(long_form->equals(short_form.get()));
        EXPECT_EQ(long_form->normalize(), kOk);
        EXPECT_STREQ(long_form->text(), "::1");
    }
}

TEST(NetworkAddress, AssignLowerCasesHexLettersOnly) {
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->protocol(), P::Unspecified);
    EXPECT_EQ(address->port(), 0);
    EXPECT_EQ(address->text_buffer(), nullptr);
    EXPECT_EQ(address->assign("FE80::ABCD%Zone", P::IPv6, 161), kOk);
    EXPECT_STREQ(address->text(), "fe80::abcd%Zone");
    EXPECT_EQ(address->protocol(), P::IPv6);
    EXPECT_EQ(address->port(), 161);
    // Unspecified protocol and port 0 keep what is there.
    EXPECT_EQ(address->assign("10.0.0.1", P::Unspecified, 0), kOk);
    EXPECT_EQ(address->protocol(), P::IPv6);
    EXPECT_EQ(address->port(), 161);
    EXPECT_EQ(address->assign(nullptr, P::IPv4, 0), kErrBadArgument);
    EXPECT_TRUE(address->is_valid());  // the text is valid, whatever its label
    address->assign("garbage", P::Unspecified, 0);
    EXPECT_FALSE(address->is_valid());
    EXPECT_NE(address->normalize(), kOk);
    EXPECT_STREQ(address->text(), "garbage");
}

TEST(NetworkAddress, GetAndCloneCopy) {
    auto address = own(pmc_create_network_address(nullptr));
    address->assign("10.0.0.1", P::IPv4, 161);
    IPmcByteString* text = nullptr;
    P::EProtocol protocol = P::Unspecified;
    std::uint16_t port = 0;
    ASSERT_EQ(address->get(&text, &protocol, &port), kOk);
    auto owned_text = own(text);
    EXPECT_TRUE(text->equals("10.0.0.1"));
    EXPECT_NE(text, address->text_buffer());
    EXPECT_EQ(protocol, P::IPv4);
    EXPECT_EQ(port, 161);
    EXPECT_EQ(address->get(nullptr, nullptr, nullptr), kErrBadArgument);

    IPmcNetworkAddress* copy = nullptr;
    ASSERT_EQ(address->clone(&copy), kOk);
    auto owned_copy = own(copy);
    EXPECT_STREQ(copy->text(), "10.0.0.1");
    EXPECT_EQ(copy->port(), 161);
    EXPECT_EQ(address->clone(nullptr), kErrBadArgument);

    // A clone without memory reports -2, not -3.
    fault_injection::fail_allocation_after(0);
    IPmcNetworkAddress* failed = reinterpret_cast<IPmcNetworkAddress*>(1);
    EXPECT_EQ(address->clone(&failed), kErrBadArgument);
    fault_injection::fail_allocation_after(-1);
    EXPECT_EQ(failed, nullptr);
}

TEST(NetworkAddress, FamiliesAndProtocols) {
    const struct {
        int family;
        P::EProtocol protocol;
    } pairs[] = {{0, P::Unspecified}, {2, P::IPv4}, {6, P::IPX}, {23, P::IPv6}};
    for (const auto& p : pairs) {
        EXPECT_EQ(pmc_protocol_of_family(p.family), p.protocol);
        EXPECT_EQ(pmc_family_of_protocol(p.protocol), p.family);
    }
    EXPECT_EQ(pmc_protocol_of_family(10), P::Unspecified);
    EXPECT_EQ(pmc_family_of_protocol(static_cast<P::EProtocol>(3)), 3);  // passed through
}

TEST(AddressText, MulticastGroups) {
    const struct {
        const char* text;
        std::int32_t code;
        std::uint8_t first;
        std::uint8_t second;
        std::uint8_t last;
    } cases[] = {
        {"ff02::1", kOk, 0xFF, 0x02, 0x01},
        {"::1", kOk, 0x00, 0x00, 0x01},
        {"ff02::", kOk, 0xFF, 0x02, 0x00},
        {"ff02:0:0:0:0:0:0:2", kOk, 0xFF, 0x02, 0x02},
        {"ff02::1:2:3:4:5:6:7", kErrBadArgument, 0, 0, 0},  // no room for the gap
        {"ff02:1", kErrBadArgument, 0, 0, 0},
        {"", kErrBadArgument, 0, 0, 0},
        {"ffff:ffff:ffff:ffff:ffff:ffff:ffff:0001:more", kOk, 0xFF, 0xFF, 0x01},
        {"0000000ff02::00000000000000000000000000000000001", kErrBadArgument, 0, 0, 0},  // expanded too long
    };
    for (const auto& c : cases) {
        std::uint8_t bytes[16] = {};
        EXPECT_EQ(address_text::read_ipv6_group(c.text, bytes), c.code) << c.text;
        if (c.code != kOk) continue;
        EXPECT_EQ(bytes[0], c.first) << c.text;
        EXPECT_EQ(bytes[1], c.second) << c.text;
        EXPECT_EQ(bytes[15], c.last) << c.text;
    }
    std::uint8_t bytes[16];
    EXPECT_EQ(address_text::read_ipv6_group(nullptr, bytes), kErrBadArgument);
}
