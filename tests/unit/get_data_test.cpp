// The GetData object through the scripted socket library: what it sends for
// init's settings, how it reads answers, and how a walk ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "agent_double.h"
#include "client/get_data.h"
#include "fake_network.h"
#include "snmp/pdu.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
using namespace tolv::testing;
using P = IPmcNetworkAddress;

namespace {
Owned<IPmcGetData> made(const char* address = "10.0.0.7", P::EProtocol protocol = P::IPv4,
                        std::uint32_t max_size = 0, std::int32_t version = 0) {
    auto data = own(pmc_create_get_data(nullptr));
    EXPECT_EQ(data->init(address, protocol, 161, version, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, 1000, 0,
                         max_size),
              kOk);
    return data;
}

// An agent with a table of OIDs in order, answering Get and GetNext.
class TableAgent {
public:
    explicit TableAgent(FakeNetwork& network, std::map<std::string, std::string> objects, bool v1_end = true)
        : objects_(std::move(objects)), v1_end_(v1_end) {
        network.answer_with([this](const Datagram& sent) { return answer(sent); });
    }
    std::vector<Request> requests;

private:
    static std::vector<std::uint32_t> arcs(const std::string& oid) {
        std::vector<std::uint32_t> out;
        for (std::size_t start = 0; start < oid.size();) {
            std::size_t dot = oid.find('.', start);
            if (dot == std::string::npos) dot = oid.size();
            out.push_back(static_cast<std::uint32_t>(std::stoul(oid.substr(start, dot - start))));
            start = dot + 1;
        }
        return out;
    }

    std::vector<Datagram> answer(const Datagram& sent) {
        const Request request = read_request(sent.bytes);
        requests.push_back(request);
        Answer reply;
        for (std::size_t i = 0; i < request.oids.size(); ++i) {
            const std::string& oid = request.oids[i];
            std::string found;
            if (request.type == pms_pdu_type::kGetNextRequest) {
                for (const auto& [name, value] : objects_) {
                    if (arcs(name) > arcs(oid) && (found.empty() || arcs(name) < arcs(found))) found = name;
                }
            } else if (objects_.count(oid) != 0) {
                found = oid;
            }
            if (found.empty() && v1_end_) {  // SNMPv1: noSuchName with the request's bindings
                reply.error_status = 2;
                reply.error_index = static_cast<std::int32_t>(i + 1);
                reply.bindings.clear();
                for (const std::string& asked : request.oids) reply.bindings.emplace_back(asked, "");
                break;
            }
            reply.bindings.emplace_back(found.empty() ? oid : found, found.empty() ? "" : objects_[found]);
        }
        return {{"10.0.0.7", 161, response_to(request, reply)}};
    }

    std::map<std::string, std::string> objects_;
    bool v1_end_;
};

std::string first_value_text(IPmcPtrList<IPmsPdu>* rows, int row) {
    IPmcPtrListIterator* it = rows->create_iterator(nullptr);
    for (int i = 0; i < row; ++i) rows->next(it);
    const std::string text = text_of(rows->get_at(it)->get_bindings()->get(0)->get_value());
    rows->release_iterator(it);
    return text;
}
}  // namespace

TEST(GetData, InitChoosesTheMaximumSizeByProtocol) {
    const struct {
        const char* address;
        P::EProtocol protocol;
        std::uint32_t asked;
        std::int32_t kept;
    } cases[] = {
        {"10.0.0.7", P::IPv4, 0, 1400},   {"10.0.0.7", P::IPv4, 9000, 1400}, {"10.0.0.7", P::IPv4, 800, 800},
        {"00000001:00c0ffee0001", P::IPX, 0, 546}, {"00000001:00c0ffee0001", P::IPX, 1000, 546},
    };
    for (const auto& c : cases) {
        FakeNetwork network;
        network.answer_with([](const Datagram& sent) {
            const Request request = read_request(sent.bytes);
            return std::vector<Datagram>{{sent.host, sent.port, response_to(request, echo(request))}};
        });
        auto data = own(static_cast<CPmcGetData*>(pmc_create_get_data(nullptr)));
        ASSERT_EQ(data->init(c.address, c.protocol, 161, 1, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, 1000, 0,
                             c.asked),
                  kOk);
        // Fill a request until it must be split: its messages stay within the maximum.
        for (int i = 0; i < 80; ++i) data->add_oid_string("1.3.6.1.4.1.46712.1.2.3.4.5.6.7.8.9", true);
        std::int32_t value = 0;
        EXPECT_EQ(data->get_data(&value), kOk);
        std::size_t largest = 0;
        for (const Datagram& sent : network.sent()) largest = std::max(largest, sent.bytes.size());
        EXPECT_LE(largest, static_cast<std::size_t>(c.kept)) << c.asked;
        EXPECT_GT(largest, static_cast<std::size_t>(c.kept) / 2) << c.asked;  // halves of a request too big
        EXPECT_GT(network.sent().size(), 1u);
    }
}

TEST(GetData, CommunityIsTakenAtInitAndRequestsGoOutAsSnmpV1) {
    FakeNetwork network;
    TableAgent agent(network, {{"1.3.6.1.2.1.1.5.0", "printer"}});
    auto data = own(pmc_create_get_data(nullptr));
    EXPECT_EQ(data->set_community("secret"), 7);
    ASSERT_EQ(data->init("10.0.0.7", P::IPv4, 161, 1, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, 1000, 0, 0), kOk);
    data->set_community("too-late");
    data->add_oid_string("1.3.6.1.2.1.1.5", true);
    char text[64];
    ASSERT_EQ(data->get_data(text), kOk);
    EXPECT_STREQ(text, "printer");
    ASSERT_EQ(agent.requests.size(), 1u);
    EXPECT_EQ(agent.requests[0].community, "secret");
    EXPECT_EQ(agent.requests[0].version, 0);
    EXPECT_EQ(agent.requests[0].type, pms_pdu_type::kGetRequest);
    // A community longer than 255 characters is cut, not overrun.
    EXPECT_EQ(data->set_community(std::string(400, 'c').c_str()), 256);
}

TEST(GetData, ReadingAnswers) {
    FakeNetwork network;
    TableAgent agent(network, {{"1.3.6.1.2.1.1.7.0", "72"}, {"1.3.6.1.2.1.1.5.0", "a-rather-long-name"}}, false);
    auto data = made();
    // Two bindings answered, three asked for: the first two are written, then -7.
    data->add_oid_string("1.3.6.1.2.1.1.7", true);
    data->add_oid_string("1.3.6.1.2.1.1.7", true);
    std::int32_t values[3] = {0, 0, -99};
    EXPECT_EQ(data->get_data(values, 3), kErrNotFound);
    EXPECT_EQ(values[0], -1);  // an OCTET STRING is no INTEGER
    EXPECT_EQ(values[2], -99);
    // Nothing left to ask for: no binding in the answer.
    std::int32_t value = 0;
    EXPECT_EQ(data->get_data(&value), kErrNotFound);

    // The bounded text read cuts and says so.
    data->add_oid_string("1.3.6.1.2.1.1.5", true);
    char small[8];
    EXPECT_EQ(data->get_text(small, sizeof small), kErrNotFound);
    EXPECT_STREQ(small, "a-rathe");
    data->add_oid_string("1.3.6.1.2.1.1.5", true);
    char enough[64];
    EXPECT_EQ(data->get_text(enough, sizeof enough), kOk);
    EXPECT_STREQ(enough, "a-rather-long-name");
    EXPECT_EQ(data->get_text(nullptr, 4), kErrBadArgument);

    P::EProtocol protocol = P::Unspecified;
    EXPECT_EQ(data->get_address_protocol("10.1.2.3", &protocol), kOk);
    EXPECT_EQ(protocol, P::IPv4);
}

TEST(GetData, UseBeforeInit) {
    auto data = own(pmc_create_get_data(nullptr));
    std::int32_t value = 0;
    char text[8];
    EXPECT_EQ(data->add_oid_string("1.3", true), kErrEmpty);
    EXPECT_EQ(data->get_data(&value), kErrEmpty);
    EXPECT_EQ(data->get_text(text, sizeof text), kErrEmpty);
    EXPECT_EQ(data->set_data(), kErrEmpty);
}

TEST(GetData, WalksEndAtTheSubtreeAndAtTheEndOfTheMib) {
    FakeNetwork network;
    const std::map<std::string, std::string> table = {
        {"1.3.6.1.2.1.25.3.2.1.3.1", "row one"}, {"1.3.6.1.2.1.25.3.2.1.3.2", "row two"},
        {"1.3.6.1.2.1.25.3.2.1.3.10", "row ten"},  // numeric order: after 2
        {"1.3.6.1.2.1.25.3.2.1.4.1", "next column"},
    };
    for (const bool v1_end : {true, false}) {
        TableAgent agent(network, table, v1_end);
        auto data = made();
        data->add_oid_string("1.3.6.1.2.1.25.3.2.1.3", false);
        auto rows = own(pms_create_pdu_list(nullptr));
        ASSERT_EQ(data->get_data(rows.get(), "1.3.6.1.2.1.25.3.2.1.3"), kOk);
        ASSERT_EQ(rows->get_count(), 3u);
        EXPECT_EQ(first_value_text(rows.get(), 0), "row one");
        EXPECT_EQ(first_value_text(rows.get(), 2), "row ten");

        // The last column runs into the end of the MIB: the walk ends there.
        auto tail = made();
        tail->add_oid_string("1.3.6.1.2.1.25.3.2.1.4", false);
        auto tail_rows = own(pms_create_pdu_list(nullptr));
        const std::size_t before = network.sent().size();
        ASSERT_EQ(tail->get_data(tail_rows.get(), "1.3.6.1.2.1.25.3.2.1.4"), kOk);
        EXPECT_EQ(tail_rows->get_count(), 1u);
        EXPECT_LE(network.sent().size() - before, 3u);  // no endless asking
    }
    // A walk whose first answer is already outside: 0 and no rows.
    TableAgent agent(network, table);
    auto data = made();
    data->add_oid_string("1.3.6.1.2.1.25.3.2.1.2", false);
    auto rows = own(pms_create_pdu_list(nullptr));
    EXPECT_EQ(data->get_data(rows.get(), "1.3.6.1.2.1.25.3.2.1.2"), kOk);
    EXPECT_EQ(rows->get_count(), 0u);
}

TEST(GetData, SetReportsNoSuchNameAndNoAccess) {
    FakeNetwork network;
    for (const auto& [status, expected] : {std::pair{0, kOk}, std::pair{2, kErrNotFound}, std::pair{6, kErrNotFound},
                                           std::pair{17, kOk}}) {
        network.answer_with([status = status](const Datagram& sent) {
            const Request request = read_request(sent.bytes);
            Answer answer = echo(request);
            answer.error_status = status;
            answer.error_index = status ? 1 : 0;
            return std::vector<Datagram>{{"10.0.0.7", 161, response_to(request, answer)}};
        });
        auto data = made();
        data->add_oid_string("1.3.6.1.4.1.46712.1.9", "5", 3);
        EXPECT_EQ(data->set_data(), expected) << status;
        const Request request = read_request(network.sent().back().bytes);
        EXPECT_EQ(request.type, pms_pdu_type::kSetRequest);
        EXPECT_EQ(request.oids[0], "1.3.6.1.4.1.46712.1.9.5");
    }
}
