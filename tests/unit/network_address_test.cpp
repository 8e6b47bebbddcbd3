#include <gtest/gtest.h>

#include "test_objects.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"

using namespace tolv;

TEST(NetworkAddress, AssignLowerCasesHexLettersOnly) {
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::Unspecified);
    EXPECT_EQ(address->port(), 0);
    EXPECT_EQ(address->text_buffer(), nullptr);
    EXPECT_EQ(address->assign("FE80::ABCD%Zone", IPmcNetworkAddress::IPv6, 161), kOk);
    EXPECT_STREQ(address->text(), "fe80::abcd%Zone");
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::IPv6);
    EXPECT_EQ(address->port(), 161);
    // Unspecified protocol and port 0 keep what is there.
    EXPECT_EQ(address->assign("10.0.0.1", IPmcNetworkAddress::Unspecified, 0), kOk);
    EXPECT_EQ(address->protocol(), IPmcNetworkAddress::IPv6);
    EXPECT_EQ(address->port(), 161);
    EXPECT_EQ(address->assign(nullptr, IPmcNetworkAddress::IPv4, 0), kErrBadArgument);
}

TEST(NetworkAddress, GetAndCloneCopy) {
    auto address = own(pmc_create_network_address(nullptr));
    address->assign("10.0.0.1", IPmcNetworkAddress::IPv4, 161);
    IPmcByteString* text = nullptr;
    IPmcNetworkAddress::EProtocol protocol = IPmcNetworkAddress::Unspecified;
    std::uint16_t port = 0;
    ASSERT_EQ(address->get(&text, &protocol, &port), kOk);
    auto owned_text = own(text);
    EXPECT_TRUE(text->equals("10.0.0.1"));
    EXPECT_NE(text, address->text_buffer());
    EXPECT_EQ(protocol, IPmcNetworkAddress::IPv4);
    EXPECT_EQ(port, 161);
    EXPECT_EQ(address->get(nullptr, nullptr, nullptr), kErrBadArgument);

    IPmcNetworkAddress* copy = nullptr;
    ASSERT_EQ(address->clone(&copy), kOk);
    auto owned_copy = own(copy);
    EXPECT_STREQ(copy->text(), "10.0.0.1");
    EXPECT_EQ(copy->port(), 161);
    EXPECT_EQ(address->clone(nullptr), kErrBadArgument);
}
