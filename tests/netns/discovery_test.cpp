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
