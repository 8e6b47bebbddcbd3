// Broadcast collections through the scripted socket library.
#include <gtest/gtest.h>

#include "agent_double.h"
#include "fake_network.h"
#include "log_capture.h"
#include "session/request_session.h"
#include "session/session_dispatcher.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"

using namespace tolv;
using namespace tolv::testing;

namespace {
class BroadcastTest : public ::testing::Test {
protected:
    Owned<IPmsSnmpTarget> target_to(const char* address, std::uint16_t port, std::int32_t retries) {
        auto target = own(community_target(pms_version::kV1, "public"));
        target->set_timeout(2000);
        target->set_retries(retries);
        auto a = own(pmc_create_network_address(nullptr));
        a->set_text(address);
        a->set_port(port);
        target->set_address(a.get());
        return target;
    }

    Owned<IPmsPdu> sys_object_id() {
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kGetRequest);
        pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.2.0", nullptr), nullptr);
        return pdu;
    }

    std::vector<std::string> senders(const IPmsSnmpPacketList* list) {
        std::vector<std::string> out;
        IPmcPtrListIterator* it = list->create_iterator(nullptr);
        for (IPmsSnmpPacket* p = list->get_at(it); p != nullptr; p = list->get_at(list->next(it))) {
            const IPmcNetworkAddress* a = p->get_target()->get_address();
            out.push_back(std::string(a->text()) + ":" + std::to_string(a->port()));
        }
        list->release_iterator(it);
        return out;
    }

    LogCapture log;
    FakeNetwork network;
    Owned<IPmsSession> session = own(pms_create_request_session(nullptr));
};
}  // namespace

TEST_F(BroadcastTest, OnePacketPerDeviceInOrderOfFirstAnswer) {
    int tries = 0;
    network.answer_with([&tries](const Datagram& sent) {
        const Bytes answer = response_to(read_request(sent.bytes), echo(read_request(sent.bytes)));
        if (tries++ == 0) {
            return std::vector<Datagram>{{"10.0.0.3", 161, answer}, {"10.0.0.1", 161, answer},
                                         {"10.0.0.3", 161, answer}, {"10.0.0.2", 1161, answer}};
        }
        return std::vector<Datagram>{{"10.0.0.1", 161, answer}};
    });
    auto target = target_to("255.255.255.255", 161, 1);
    auto pdu = sys_object_id();
    IPmsSnmpPacketList* list = nullptr;
    ASSERT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &list), kOk);
    auto owned_list = own(list);
    EXPECT_EQ(senders(list), (std::vector<std::string>{"10.0.0.3:161", "10.0.0.1:161", "10.0.0.2:1161"}));
    EXPECT_EQ(network.sent().size(), 2u);  // retries 1: two tries
    EXPECT_EQ(network.sent()[0].bytes, network.sent()[1].bytes);
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kGetRequest);  // the request is not changed
    EXPECT_STREQ(target->get_address()->text(), "255.255.255.255");
    EXPECT_TRUE(log.contains("Info , broad cast: timeout= 2000, retries=1, destination=255.255.255.255"));
    EXPECT_EQ(log.count("broad cast: receive from new address:"), 3);
    EXPECT_TRUE(log.contains("Trace, [RequestSession::send_broad_cast_sync] enter."));
    // Each packet: the answer decoded, with the sender as its target.
    IPmcPtrListIterator* it = list->create_iterator(nullptr);
    IPmsSnmpPacket* first = list->get_at(it);
    list->release_iterator(it);
    EXPECT_EQ(first->get_pdu()->get_type(), pms_pdu_type::kResponse);
    EXPECT_EQ(first->get_target()->get_version(), pms_version::kV1);
}

TEST_F(BroadcastTest, NobodyAnswers) {
    auto target = target_to("255.255.255.255", 161, 1);
    auto pdu = sys_object_id();
    IPmsSnmpPacketList* list = nullptr;
    ASSERT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &list), kOk);
    auto owned_list = own(list);
    EXPECT_EQ(list->get_count(), 0u);
    EXPECT_EQ(network.sent().size(), 2u);
}

TEST_F(BroadcastTest, AnswersWithOtherRequestIdsAreTakenAndGarbledOnesDropped) {
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer other = echo(request);
        other.request_id = 12345;
        return std::vector<Datagram>{{"10.0.0.5", 161, hex("300300")},  // garbled: dropped, not remembered
                                     {"10.0.0.6", 161, response_to(request, other)},
                                     {"10.0.0.5", 161, response_to(request, echo(request))}};
    });
    network.fail_receive(10054);  // and one datagram that cannot be received at all
    auto target = target_to("255.255.255.255", 161, 0);
    auto pdu = sys_object_id();
    IPmsSnmpPacketList* list = nullptr;
    ASSERT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &list), kOk);
    auto owned_list = own(list);
    EXPECT_EQ(senders(list), (std::vector<std::string>{"10.0.0.6:161", "10.0.0.5:161"}));
}

TEST_F(BroadcastTest, IpxBroadcastsKeepToTheirNetwork) {
    const struct {
        const char* destination;
        std::vector<std::string> kept;
    } cases[] = {
        {"00000001:ffffffffffff", {"00000001:00c0ffee0001:36879"}},
        {"00000000:ffffffffffff", {"00000001:00c0ffee0001:36879", "00000002:00c0ffee0002:36879"}},
    };
    for (const auto& c : cases) {
        network.answer_with([](const Datagram& sent) {
            const Bytes answer = response_to(read_request(sent.bytes), echo(read_request(sent.bytes)));
            return std::vector<Datagram>{{"00000001:00c0ffee0001", 36879, answer},
                                         {"00000002:00c0ffee0002", 36879, answer}};
        });
        auto target = target_to(c.destination, 36879, 0);
        auto pdu = sys_object_id();
        IPmsSnmpPacketList* list = nullptr;
        ASSERT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &list), kOk) << c.destination;
        auto owned_list = own(list);
        EXPECT_EQ(senders(list), c.kept) << c.destination;
    }
}

TEST_F(BroadcastTest, FailuresThatEndTheCollection) {
    auto target = target_to("255.255.255.255", 161, 3);
    auto pdu = sys_object_id();
    IPmsSnmpPacketList* list = reinterpret_cast<IPmsSnmpPacketList*>(1);
    network.fail_send(10013);
    EXPECT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &list), kErrSend);
    EXPECT_EQ(list, reinterpret_cast<IPmsSnmpPacketList*>(1));  // not written
    EXPECT_TRUE(log.contains("Error, broad cast: error=-205."));
    // A socket whose every receive fails: the collection gives up.
    for (int i = 0; i < 10; ++i) network.fail_receive(10038);
    EXPECT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), &list), kErrReceive);
    EXPECT_EQ(session->send_broad_cast_sync(pdu.get(), target.get(), nullptr), kErrBadArgument);
}

TEST(SessionDispatcher, SelectsTheSessionByModelAndVersion) {
    FakeNetwork network;
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, echo(request))}};
    });
    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    auto address = own(pmc_create_network_address(nullptr));
    address->set_text("10.0.0.7");
    address->set_port(161);
    const struct {
        bool usm;
        std::int32_t version;
        std::int32_t code;
    } cases[] = {
        {false, 0, kOk}, {false, 1, kOk}, {false, 2, kErrBadArgument}, {false, -1, kErrBadArgument},
        {true, 0, kErrBadArgument}, {true, 1, kErrBadArgument},
    };
    for (const auto& c : cases) {
        IPmsSnmpTarget* target = c.usm ? static_cast<IPmsSnmpTarget*>(pms_create_usm_target(nullptr))
                                       : community_target(c.version, "public");
        auto owned = own(target);
        target->set_version(c.version);
        target->set_timeout(1000);
        target->set_max_size(1400);
        target->set_address(address.get());
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kGetRequest);
        pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.1.0", nullptr), nullptr);
        const std::size_t before = network.sent().size();
        EXPECT_EQ(dispatcher->send_sync(pdu.get(), target), c.code) << c.usm << " " << c.version;
        if (c.code == kErrBadArgument) {
            EXPECT_EQ(network.sent().size(), before);  // nothing sent
        }
    }
    EXPECT_EQ(dispatcher->send_sync(nullptr, nullptr), kErrBadArgument);
    EXPECT_EQ(dispatcher->send_broad_cast_sync(static_cast<IPmsSnmpPacket*>(nullptr), nullptr), kErrBadArgument);
}

TEST(SessionDispatcher, UsmTargetsGoToTheSnmpV3Session) {
    // SNMPv3 goes through Net-SNMP's own sockets: loopback, where nothing listens.
    auto usm = own(pms_create_usm_target(nullptr));
    usm->set_version(pms_version::kV3);
    usm->set_timeout(100);
    usm->set_retries(0);
    usm->set_security_name("nobody");
    auto address = own(pmc_create_network_address(nullptr));
    address->set_text("127.0.0.1");
    address->set_port(9);
    usm->set_address(address.get());
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.1.0", nullptr), nullptr);
    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), usm.get()), kErrTimeout);
    // An authentication protocol that does not exist: refused before anything is sent.
    usm->set_security_level(pms_usm::kAuthNoPriv);
    usm->set_auth_protocol(3);
    EXPECT_EQ(dispatcher->send_sync(pdu.get(), usm.get()), kErrBadArgument);
    IPmsSnmpPacketList* found = nullptr;
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), usm.get(), &found), kErrBadArgument);
    EXPECT_EQ(found, nullptr);
}
