// Runs inside the client namespace of tests/netns/lab.sh: one broadcast
// (IPv4) or multicast (IPv6) request reaches the three agents of the lab.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codec_support.h"
#include "session/session_dispatcher.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"

using namespace tolv;
using namespace tolv::testing;
using P = IPmcNetworkAddress;

namespace {
// The answers to one GET of sysObjectID.0 sent to the destination.
std::vector<std::string> discover(const char* destination) {
    auto target = own(community_target(pms_version::kV1, "public"));
    target->set_timeout(1500);
    target->set_retries(1);
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->set_text(destination), kOk);
    address->set_port(161);
    target->set_address(address.get());
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.2.0", nullptr), nullptr);

    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    IPmsSnmpPacketList* list = nullptr;
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target.get(), &list), kOk);
    std::vector<std::string> found;
    if (list == nullptr) return found;
    IPmcPtrListIterator* it = list->create_iterator(nullptr);
    for (IPmsSnmpPacket* packet = list->get_at(it); packet != nullptr; packet = list->get_at(list->next(it))) {
        const IPmcNetworkAddress* sender = packet->get_target()->get_address();
        EXPECT_EQ(sender->port(), 161);
        EXPECT_EQ(text_of(packet->get_pdu()->get_bindings()->get(0)->get_value()), "1.3.6.1.4.1.46712.1.1");
        found.push_back(sender->text());
    }
    list->release_iterator(it);
    list->release();
    std::sort(found.begin(), found.end());
    return found;
}
}  // namespace

TEST(Discovery, BroadcastOverIpv4ReachesTheThreeAgents) {
    EXPECT_EQ(discover("255.255.255.255"), (std::vector<std::string>{"10.203.0.11", "10.203.0.12", "10.203.0.13"}));
}

TEST(Discovery, MulticastOverIpv6ReachesTheThreeAgents) {
    const std::vector<std::string> found = discover("ff02::1");
    ASSERT_EQ(found.size(), 3u);
    for (const std::string& sender : found) EXPECT_EQ(sender.rfind("fe80::", 0), 0u) << sender;
}

namespace {
// The packets an SNMPv3 discovery of sysName.0 as user shaaes collects.
std::vector<std::string> discover_v3(const char* destination, std::uint16_t port) {
    auto usm = own(pms_create_usm_target(nullptr));
    usm->set_version(pms_version::kV3);
    usm->set_timeout(1000);
    usm->set_retries(0);
    usm->set_security_name("shaaes");
    usm->set_security_level(pms_usm::kAuthPriv);
    usm->set_auth_protocol(pms_usm::kAuthSha);
    usm->set_priv_protocol(pms_usm::kPrivAes);
    usm->set_auth_passphrase("sha-auth-phrase");
    usm->set_priv_passphrase("aes-priv-phrase");
    usm->set_context_name("public");
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->set_text(destination), kOk);
    address->set_port(port);
    usm->set_address(address.get());
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.5.0", nullptr), nullptr);

    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    IPmsSnmpPacketList* list = nullptr;
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), usm.get(), &list), kOk);
    std::vector<std::string> found;
    if (list == nullptr) return found;
    IPmcPtrListIterator* it = list->create_iterator(nullptr);
    for (IPmsSnmpPacket* packet = list->get_at(it); packet != nullptr; packet = list->get_at(list->next(it))) {
        EXPECT_EQ(text_of(packet->get_pdu()->get_bindings()->get(0)->get_value()), "sim-printer");
        void* engine = nullptr;
        packet->get_target()->query_interface(pms_target_id::kUsm, &engine);
        EXPECT_GT(engine ? static_cast<IPmsUsm*>(engine)->get_engine_id()->get_length() : 0u, 0u);
        found.push_back(packet->get_target()->get_address()->text());
    }
    list->release_iterator(it);
    list->release();
    return found;
}
}  // namespace

// All three engines answer the probe; only the first knows the user, the
// other two refuse it and are left out.
TEST(DiscoveryV3, OnlyTheEngineThatAcceptsTheUserIsCollected) {
    EXPECT_EQ(discover_v3("255.255.255.255", 161), (std::vector<std::string>{"10.203.0.11"}));
}

TEST(DiscoveryV3, NobodyAnsweringGivesAnEmptyList) { EXPECT_TRUE(discover_v3("255.255.255.255", 1161).empty()); }

TEST(DiscoveryV3, MulticastOverIpv6FindsTheEngineThatAcceptsTheUser) {
    const std::vector<std::string> found = discover_v3("ff02::1", 161);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].rfind("fe80::", 0), 0u) << found[0];
}
