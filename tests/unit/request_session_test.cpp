// Exchanges through the scripted socket library: tries, time-outs, foreign
// and undecodable answers, splitting and merging, without sleeping.
#include <gtest/gtest.h>

#include "agent_double.h"
#include "fake_network.h"
#include "log_capture.h"
#include "session/request_session.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"
#include "snmp/packet.h"
#include "transport/network_address.h"

using namespace tolv;
using namespace tolv::testing;

namespace {
class RequestSessionTest : public ::testing::Test {
protected:
    Owned<IPmsSnmpTarget> target_to(const char* address, std::int32_t timeout, std::int32_t retries,
                                    std::int32_t max_size = 1400) {
        auto target = own(community_target(pms_version::kV1, "public", max_size));
        target->set_timeout(timeout);
        target->set_retries(retries);
        auto a = own(pmc_create_network_address(nullptr));
        a->set_text(address);
        a->set_port(161);
        target->set_address(a.get());
        return target;
    }

    Owned<IPmsPdu> get_request(int bindings) {
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kGetRequest);
        for (int i = 1; i <= bindings; ++i) {
            const std::string oid = "1.3.6.1.2.1.1." + std::to_string(i) + ".0";
            pdu->add(pms_create_oid_from_text(oid.c_str(), nullptr), nullptr);
        }
        return pdu;
    }

    // The agent answers every request with an echo from the given address.
    void answer_all_from(const char* host) {
        network.answer_with([host](const Datagram& sent) {
            const Request request = read_request(sent.bytes);
            return std::vector<Datagram>{{host, 161, response_to(request, echo(request))}};
        });
    }

    LogCapture log;
    FakeNetwork network;
    Owned<IPmsSession> session = own(pms_create_request_session(nullptr));
};

std::string value_text(const IPmsPdu* pdu, std::uint32_t index) {
    return text_of(pdu->get_bindings()->get(index)->get_value());
}
}  // namespace

TEST_F(RequestSessionTest, AnswerIsDecodedIntoThePduAndTheAddressReplaced) {
    answer_all_from("10.0.0.99");
    auto target = target_to("10.0.0.7", 3000, 2);
    auto pdu = get_request(2);
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kResponse);
    EXPECT_EQ(value_text(pdu.get(), 1), "value of 1.3.6.1.2.1.1.2.0");
    EXPECT_STREQ(target->get_address()->text(), "10.0.0.99");  // the address that answered
    EXPECT_EQ(network.sent().size(), 1u);
    EXPECT_EQ(network.sent()[0].host, "10.0.0.7");
    EXPECT_TRUE(log.contains("Info , _send_and_receive(): timeout= 3000, retries=2"));
    EXPECT_TRUE(log.contains("Debug, _send_and_receive(): try 0, destination=10.0.0.7"));
    EXPECT_TRUE(log.contains("Debug, _send_and_receive(): receive from 10.0.0.7"));
}

TEST_F(RequestSessionTest, TriesAndTimeOuts) {
    const struct {
        std::int32_t retries;
        std::size_t sends;
    } cases[] = {{0, 1}, {2, 3}};
    for (const auto& c : cases) {
        log.clear();
        const std::size_t before = network.sent().size();
        auto target = target_to("10.0.0.7", 500, c.retries);
        auto pdu = get_request(1);
        EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrTimeout);
        EXPECT_EQ(network.sent().size() - before, c.sends);
        EXPECT_EQ(log.count("Error, _send_and_receive(): receive timeout."), static_cast<int>(c.sends));
        // The same bytes on every try: one request-id per exchange.
        EXPECT_EQ(network.sent().back().bytes, network.sent()[before].bytes);
    }
    EXPECT_EQ(network.select_waits_ms().back(), 500);
}

TEST_F(RequestSessionTest, TimeOutOfZeroSendsWithoutWaiting) {
    auto target = target_to("10.0.0.7", 0, 1);
    auto pdu = get_request(1);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    EXPECT_EQ(network.sent().size(), 2u);
    EXPECT_TRUE(network.select_waits_ms().empty());
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kGetRequest);
    EXPECT_STREQ(target->get_address()->text(), "10.0.0.7");
}

TEST_F(RequestSessionTest, ForeignAndUndecodableAnswersAreSkippedWithinTheTry) {
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer foreign = echo(request);
        foreign.request_id = request.request_id + 1000;
        Bytes garbled = response_to(request, echo(request));
        garbled.resize(garbled.size() / 2);  // cut: it claims more than it holds
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, foreign)},
                                     {"10.0.0.7", 161, hex("DEADBEEF")},
                                     {"10.0.0.7", 161, garbled},
                                     {"10.0.0.7", 161, response_to(request, echo(request))}};
    });
    auto target = target_to("10.0.0.7", 1000, 0);
    auto pdu = get_request(1);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    EXPECT_EQ(network.sent().size(), 1u);  // all within the first try
    EXPECT_TRUE(log.contains("request id not match."));
    EXPECT_EQ(value_text(pdu.get(), 0), "value of 1.3.6.1.2.1.1.1.0");
}

TEST_F(RequestSessionTest, TheLastForeignAnswerOfTheLastTryIsTheResult) {
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer foreign = echo(request);
        foreign.request_id = request.request_id + 1;
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, foreign)}};
    });
    auto target = target_to("10.0.0.7", 1000, 1);
    auto pdu = get_request(1);
    // After each foreign answer the try waits on and times out.
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrTimeout);
    EXPECT_EQ(network.sent().size(), 2u);
}

TEST_F(RequestSessionTest, AFloodOfForeignAnswersCannotStretchATry) {
    // Every send is answered by 1000 foreign datagrams, each taking 50 ms:
    // a try of 1000 ms sees about 20 of them and ends.
    network.let_time_pass(50);
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer foreign = echo(request);
        foreign.request_id = request.request_id + 1;
        return std::vector<Datagram>(1000, Datagram{"10.0.0.7", 161, response_to(request, foreign)});
    });
    auto target = target_to("10.0.0.7", 1000, 1);
    auto pdu = get_request(1);
    const std::uint32_t start = network.now_ms();
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrForeignAnswer);
    EXPECT_EQ(network.sent().size(), 2u);
    EXPECT_LE(network.now_ms() - start, 2u * 1000u + 50u);  // two tries of 1000 ms
    EXPECT_GT(network.pending(), 1000u);  // most of the flood was never read
}

TEST_F(RequestSessionTest, SendAndReceiveFailuresEndTheExchange) {
    auto target = target_to("10.0.0.7", 1000, 3);
    auto pdu = get_request(1);
    network.fail_send(10065);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrSend);
    EXPECT_EQ(network.sent().size(), 0u);
    network.fail_receive(10054);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrReceive);
    EXPECT_EQ(network.sent().size(), 1u);  // no further try
    EXPECT_TRUE(log.contains("Error, _send_and_receive(): error=-204."));
}

TEST_F(RequestSessionTest, LargeAnswersAreReceived) {
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer big;
        big.bindings.emplace_back(request.oids[0], std::string(6000, 'x'));
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, big)}};
    });
    auto target = target_to("10.0.0.7", 1000, 0);
    auto pdu = get_request(1);
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    EXPECT_EQ(value_text(pdu.get(), 0).size(), 6000u);
}

TEST_F(RequestSessionTest, TooBigSplitsAndMergesWithRemappedErrorIndex) {
    // Requests of more than 3 bindings are too big; the fragment of 2 has an
    // error at its binding 1.
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer answer = echo(request);
        if (request.oids.size() > 3) {
            answer.error_status = 1;  // tooBig
        } else if (request.oids.size() == 2) {
            answer.error_status = 2;
            answer.error_index = 1;
        }
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, answer)}};
    });
    auto target = target_to("10.0.0.7", 1000, 0);
    auto pdu = get_request(5);
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    ASSERT_EQ(network.sent().size(), 3u);
    const Request first = read_request(network.sent()[1].bytes);
    const Request second = read_request(network.sent()[2].bytes);
    EXPECT_EQ(first.oids.size(), 3u);
    EXPECT_EQ(second.oids.size(), 2u);
    EXPECT_NE(first.request_id, second.request_id);
    EXPECT_TRUE(log.contains("is fragmented to 2."));
    EXPECT_TRUE(log.contains("_send_and_receive(): receive packet is too big."));
    ASSERT_EQ(pdu->get_bindings()->get_count(), 5u);
    for (std::uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(value_text(pdu.get(), i), "value of 1.3.6.1.2.1.1." + std::to_string(i + 1) + ".0");
    }
    EXPECT_EQ(pdu->get_error_status(), 2);
    EXPECT_EQ(pdu->get_error_index(), 4);  // 1 in the second fragment, after 3 bindings
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kResponse);
}

TEST_F(RequestSessionTest, OversizedRequestIsSplitBeforeTheFirstSend) {
    answer_all_from("10.0.0.7");
    // A binding takes 14 bytes: with 55, three of them fit into the buffer,
    // so 7 split into 3, 2 and 2 first, and those again until each request
    // fits with its header.
    auto target = target_to("10.0.0.7", 1000, 0, 55);
    auto pdu = get_request(7);
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    EXPECT_TRUE(log.contains("is fragmented to 3."));
    std::size_t requested = 0;
    for (const Datagram& sent : network.sent()) {
        EXPECT_LE(sent.bytes.size(), 55u);
        requested += read_request(sent.bytes).oids.size();
    }
    EXPECT_EQ(requested, 7u);  // nothing sent twice, nothing as a whole
    ASSERT_EQ(pdu->get_bindings()->get_count(), 7u);
    for (std::uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(value_text(pdu.get(), i), "value of 1.3.6.1.2.1.1." + std::to_string(i + 1) + ".0");
    }
}

TEST_F(RequestSessionTest, FragmentsThatAreStillTooBigAreSplitAgain) {
    // More than 3 bindings are too big: 7 go out as 4 and 3, the 4 as 2 and 2.
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer answer = echo(request);
        if (request.oids.size() > 3) answer.error_status = 1;
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, answer)}};
    });
    auto target = target_to("10.0.0.7", 1000, 0);
    auto pdu = get_request(7);
    ASSERT_EQ(session->send_sync(pdu.get(), target.get()), kOk);
    std::vector<std::size_t> sizes;
    for (const Datagram& sent : network.sent()) sizes.push_back(read_request(sent.bytes).oids.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{7, 4, 2, 2, 3}));
    ASSERT_EQ(pdu->get_bindings()->get_count(), 7u);
    for (std::uint32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(value_text(pdu.get(), i), "value of 1.3.6.1.2.1.1." + std::to_string(i + 1) + ".0");
    }
}

TEST_F(RequestSessionTest, ASingleBindingThatIsTooBigCannotBeSplit) {
    network.answer_with([](const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        Answer answer = echo(request);
        answer.error_status = 1;
        return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, answer)}};
    });
    auto target = target_to("10.0.0.7", 1000, 0);
    auto pdu = get_request(1);
    EXPECT_EQ(session->send_sync(pdu.get(), target.get()), kErrCannotSplit);
    EXPECT_EQ(pdu->get_bindings()->get_count(), 1u);
    EXPECT_TRUE(log.contains("Error, [RequestSession::fragment_pdu] can't fragment the packet["));

    // A maximum size that holds no binding at all ends the same way (the
    // PDU is then undefined: its bindings went into the fragments).
    auto tiny = target_to("10.0.0.7", 1000, 0, 30);
    auto two = get_request(2);
    const std::size_t sent_before = network.sent().size();
    EXPECT_EQ(session->send_sync(two.get(), tiny.get()), kErrCannotSplit);
    EXPECT_EQ(network.sent().size(), sent_before);
}

TEST_F(RequestSessionTest, BadArgumentsAndPacketForm) {
    auto pdu = get_request(1);
    auto no_address = own(community_target(pms_version::kV1, "public"));
    EXPECT_EQ(session->send_sync(pdu.get(), no_address.get()), kErrBadArgument);
    EXPECT_EQ(session->send_sync(nullptr, no_address.get()), kErrBadArgument);
    EXPECT_EQ(session->send_sync(static_cast<IPmsSnmpPacket*>(nullptr)), kErrBadArgument);

    answer_all_from("10.0.0.7");
    auto packet = own(pms_create_packet(nullptr));
    packet->set_pdu(get_request(1).release());
    packet->set_target(target_to("10.0.0.7", 1000, 0).release());
    EXPECT_EQ(session->send_sync(packet.get()), kOk);
    EXPECT_EQ(packet->get_pdu()->get_type(), pms_pdu_type::kResponse);  // both back in the packet
}
