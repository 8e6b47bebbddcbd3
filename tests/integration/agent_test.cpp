// GetData against snmpsimd on loopback, over IPv4 and IPv6.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "codec_support.h"
#include "log_capture.h"
#include "session/session_dispatcher.h"
#include "snmp/pdu.h"
#include "test_objects.h"
#include "transport/network_address.h"
#include "tolvcomm/get_data.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
using namespace tolv::testing;
using P = IPmcNetworkAddress;

namespace {
constexpr std::uint16_t kPort = TOLV_AGENT_PORT;

struct Endpoint {
    const char* address;
    P::EProtocol protocol;
};

void PrintTo(const Endpoint& endpoint, std::ostream* out) { *out << endpoint.address; }

class AgentTest : public ::testing::TestWithParam<Endpoint> {
protected:
    Owned<IPmcGetData> data(const char* community = "public", std::uint16_t port = kPort, std::int32_t timeout = 3000) {
        auto d = own(pmc_create_get_data(nullptr));
        d->set_community(community);
        EXPECT_EQ(d->init(GetParam().address, GetParam().protocol, port, 1, nullptr, 0, 0, 0, nullptr, nullptr,
                          nullptr, timeout, 1, 0),
                  kOk);
        return d;
    }
};

std::string text(IPmcGetData* data, const char* oid) {
    data->add_oid_string(oid, true);
    char buffer[256];
    const std::int32_t code = data->get_text(buffer, sizeof buffer);
    return code == kOk ? buffer : "<" + std::to_string(code) + ">";
}

// The OIDs and printed values of a walk, one "oid=value" per row.
std::vector<std::string> rows_of(IPmcPtrList<IPmsPdu>* rows) {
    std::vector<std::string> out;
    IPmcPtrListIterator* it = rows->create_iterator(nullptr);
    for (IPmsPdu* pdu = rows->get_at(it); pdu != nullptr; pdu = rows->get_at(rows->next(it))) {
        const IPmsVarBind* binding = pdu->get_bindings()->get(0);
        out.push_back(text_of(binding->get_oid()) + "=" + text_of(binding->get_value()));
    }
    rows->release_iterator(it);
    return out;
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(Loopback, AgentTest,
                         ::testing::Values(Endpoint{"127.0.0.1", P::IPv4}, Endpoint{"::1", P::IPv6}),
                         [](const auto& info) { return info.param.protocol == P::IPv4 ? "IPv4" : "IPv6"; });

TEST_P(AgentTest, GetsTextAndIntegers) {
    auto d = data();
    EXPECT_EQ(text(d.get(), "1.3.6.1.2.1.1.1"), "Tolv simulated printer");
    EXPECT_EQ(text(d.get(), "1.3.6.1.2.1.1.2"), "1.3.6.1.4.1.46712.1.1");
    d->add_oid_string("1.3.6.1.2.1.1.7", true);
    d->add_oid_string("1.3.6.1.2.1.43.11.1.1.9.1.1", false);
    d->add_oid_string("1.3.6.1.2.1.43.11.1.1.9.1.2", false);
    std::int32_t values[3] = {};
    ASSERT_EQ(d->get_data(values, 3), kOk);
    EXPECT_EQ(values[0], 72);
    EXPECT_EQ(values[1], -2);
    EXPECT_EQ(values[2], -129);
}

TEST_P(AgentTest, WalksEndAtTheNextColumnAndAtTheEndOfTheMib) {
    auto d = data();
    auto rows = own(pms_create_pdu_list(nullptr));
    d->add_oid_string("1.3.6.1.2.1.25.3.2.1.3", false);
    ASSERT_EQ(d->get_data(rows.get(), "1.3.6.1.2.1.25.3.2.1.3"), kOk);
    EXPECT_EQ(rows_of(rows.get()), (std::vector<std::string>{
                                       "1.3.6.1.2.1.25.3.2.1.3.1=device number 1", "1.3.6.1.2.1.25.3.2.1.3.2=device number 2",
                                       "1.3.6.1.2.1.25.3.2.1.3.3=device number 3", "1.3.6.1.2.1.25.3.2.1.3.4=device number 4",
                                       "1.3.6.1.2.1.25.3.2.1.3.5=device number 5"}));
    // The last objects of the MIB: an SNMPv1 agent answers noSuchName after
    // them, and the walk ends instead of asking again.
    auto end = data();
    auto tail = own(pms_create_pdu_list(nullptr));
    end->add_oid_string("1.3.6.1.4.1.46712.9.1.149", false);
    ASSERT_EQ(end->get_data(tail.get(), "1.3.6.1.4.1.46712.9.1"), kOk);
    EXPECT_EQ(rows_of(tail.get()), (std::vector<std::string>{"1.3.6.1.4.1.46712.9.1.149.0=scalar 149",
                                                              "1.3.6.1.4.1.46712.9.1.150.0=scalar 150"}));
}

TEST_P(AgentTest, LargeRequestsAreSplitByTheEncoder) {
    LogCapture log;
    auto target = own(community_target(pms_version::kV1, "public", 1400));
    target->set_timeout(3000);
    target->set_retries(1);
    auto address = own(pmc_create_network_address(nullptr));
    address->assign(GetParam().address, GetParam().protocol, kPort);
    target->set_address(address.get());
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    for (int i = 1; i <= 120; ++i) {
        pdu->add(pms_create_oid_from_text(("1.3.6.1.4.1.46712.9.1." + std::to_string(i) + ".0").c_str(), nullptr),
                 nullptr);
    }
    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    ASSERT_EQ(dispatcher->send_sync(pdu.get(), target.get()), kOk);
    EXPECT_TRUE(log.contains("is fragmented to"));
    ASSERT_EQ(pdu->get_bindings()->get_count(), 120u);
    for (std::uint32_t i = 0; i < 120; ++i) {
        EXPECT_EQ(text_of(pdu->get_bindings()->get(i)->get_value()), "scalar " + std::to_string(i + 1));
    }
}

TEST_P(AgentTest, SetWithTheWriteCommunity) {
    auto writer = data("private");
    writer->add_oid_string("1.3.6.1.4.1.46712.9.2", "0", 42);
    ASSERT_EQ(writer->set_data(), kOk);
    auto reader = data("private");
    reader->add_oid_string("1.3.6.1.4.1.46712.9.2", true);
    std::int32_t value = 0;
    ASSERT_EQ(reader->get_data(&value), kOk);
    EXPECT_EQ(value, 42);
    // Read-only for the read community: noSuchName.
    auto refused = data("public");
    refused->add_oid_string("1.3.6.1.2.1.1.7", "0", 5);
    EXPECT_EQ(refused->set_data(), kErrNotFound);
}

TEST_P(AgentTest, NobodyListening) {
    auto d = data("public", static_cast<std::uint16_t>(kPort + 1), 200);
    d->add_oid_string("1.3.6.1.2.1.1.1", true);
    std::int32_t value = 0;
    EXPECT_EQ(d->get_data(&value), kErrTimeout);
}

TEST(AgentComparison, WalkMatchesWhatSnmpwalkPrints) {
    const std::string command = "snmpwalk -v1 -c public -On -Oq -Ov 127.0.0.1:" + std::to_string(kPort) +
                                " 1.3.6.1.2.1.25.3.2.1.3 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> theirs;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        std::string value(line);
        while (!value.empty() && (value.back() == '\n' || value.back() == '"')) value.pop_back();
        if (!value.empty() && value.front() == '"') value.erase(0, 1);
        theirs.push_back(value);
    }
    auto d = own(pmc_create_get_data(nullptr));
    ASSERT_EQ(d->init("127.0.0.1", P::IPv4, kPort, 0, nullptr, 0, 0, 0, nullptr, nullptr, nullptr, 3000, 1, 0), kOk);
    d->add_oid_string("1.3.6.1.2.1.25.3.2.1.3", false);
    auto rows = own(pms_create_pdu_list(nullptr));
    ASSERT_EQ(d->get_data(rows.get(), "1.3.6.1.2.1.25.3.2.1.3"), kOk);
    std::vector<std::string> ours;
    for (const std::string& row : rows_of(rows.get())) ours.push_back(row.substr(row.find('=') + 1));
    EXPECT_EQ(ours, theirs);
    EXPECT_EQ(ours.size(), 5u);
}
