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
#include "v3_users.h"

using namespace tolv;
using namespace tolv::testing;
using P = IPmcNetworkAddress;

namespace {
// Sends a GET of the OID as one broadcast and returns the senders of the
// collected answers, sorted; each answer must carry the expected value.
std::vector<std::string> collect(IPmsSnmpTarget* target, const char* oid, const std::string& expected) {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    pdu->add(pms_create_oid_from_text(oid, nullptr), nullptr);
    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    IPmsSnmpPacketList* list = nullptr;
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target, &list), kOk);
    std::vector<std::string> found;
    if (list == nullptr) return found;
    IPmcPtrListIterator* it = list->create_iterator(nullptr);
    for (IPmsSnmpPacket* packet = list->get_at(it); packet != nullptr; packet = list->get_at(list->next(it))) {
        const IPmcNetworkAddress* sender = packet->get_target()->get_address();
        EXPECT_EQ(sender->port(), 161);
        EXPECT_EQ(text_of(packet->get_pdu()->get_bindings()->get(0)->get_value()), expected);
        void* usm = nullptr;
        if (packet->get_target()->query_interface(pms_target_id::kUsm, &usm) == kOk && usm != nullptr) {
            EXPECT_GT(static_cast<IPmsUsm*>(usm)->get_engine_id()->get_length(), 0u)
                << "the engine of " << sender->text();
        }
        found.push_back(sender->text());
    }
    list->release_iterator(it);
    list->release();
    std::sort(found.begin(), found.end());
    return found;
}

// The answers to one SNMPv1 GET of sysObjectID.0 sent to the destination.
std::vector<std::string> discover(const char* destination) {
    auto target = own(community_target(pms_version::kV1, "public"));
    target->set_timeout(1500);
    target->set_retries(1);
    auto address = own(pmc_create_network_address(nullptr));
    EXPECT_EQ(address->set_text(destination), kOk);
    address->set_port(161);
    target->set_address(address.get());
    return collect(target.get(), "1.3.6.1.2.1.1.2.0", "1.3.6.1.4.1.46712.1.1");
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
// The engines an SNMPv3 discovery of sysName.0 as user shaaes collects.
std::vector<std::string> discover_v3(const char* destination, std::uint16_t port) {
    auto usm = own(usm_target(kShaAes, destination, port, 1000));
    return collect(usm.get(), "1.3.6.1.2.1.1.5.0", "sim-printer");
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
