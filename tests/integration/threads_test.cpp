// SNMPv1 and SNMPv3 requests from four threads at once, each thread with
// its own GetData objects: every answer is right on every thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "session/session_dispatcher.h"
#include "snmp/pdu.h"
#include "test_objects.h"
#include "tolvcomm/get_data.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"
#include "v3_users.h"

using namespace tolv;
using tolv::testing::kMd5Des;
using tolv::testing::kShaAes;
using tolv::testing::V3User;

namespace {
constexpr int kRequestsPerThread = 25;

bool read_one(bool v3, int i) {
    auto data = own(pmc_create_get_data(nullptr));
    const std::int32_t code = v3 ? data->init("127.0.0.1", IPmcNetworkAddress::IPv4, TOLV_AGENT_PORT, pms_version::kV3,
                                              kShaAes.name, kShaAes.level, kShaAes.auth, kShaAes.priv,
                                              kShaAes.auth_phrase, kShaAes.priv_phrase, "public", 3000, 2, 0)
                                 : data->init("127.0.0.1", IPmcNetworkAddress::IPv4, TOLV_AGENT_PORT, pms_version::kV1,
                                              nullptr, 0, 0, 0, nullptr, nullptr, nullptr, 3000, 2, 0);
    if (code != kOk) return false;
    // A different scalar per request: an answer mixed up between threads shows.
    const int which = 1 + (i % 150);
    data->add_oid_string(("1.3.6.1.4.1.46712.9.1." + std::to_string(which)).c_str(), true);
    char text[64] = {};
    return data->get_text(text, sizeof text) == kOk && std::string(text) == "scalar " + std::to_string(which);
}
}  // namespace

TEST(Threads, SnmpV1AndV3RequestsAtOnce) {
    std::atomic<int> right{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &right] {
            for (int i = 0; i < kRequestsPerThread; ++i) right += read_one(t % 2 == 1, t * 37 + i);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(right.load(), 4 * kRequestsPerThread);
}

// While an SNMPv3 exchange waits for its answer, other threads' SNMPv3
// requests go on instead of waiting for it to end: whether it waits for the
// engine to answer its probe (nobody listens on the discard port) or for the
// answer to its request (the agent drops a request made with a wrong pass
// phrase), and whether it is a single request or a discovery.
TEST(Threads, SnmpV3RequestsGoOnWhileAnotherWaits) {
    const V3User wrong_phrase{kMd5Des.name, kMd5Des.level,         kMd5Des.auth,
                              kMd5Des.priv, "not-the-auth-phrase", kMd5Des.priv_phrase};
    const struct {
        const char* what;
        V3User user;
        std::uint16_t port;
        bool discovery;
    } cases[] = {
        {"a request to nobody", kShaAes, 9, false},
        {"a request the agent drops", wrong_phrase, TOLV_AGENT_PORT, false},
        {"a discovery nobody answers", kShaAes, 9, true},
    };
    for (const auto& c : cases) {
        std::atomic<bool> waiting_done{false};
        std::thread waiting([&c, &waiting_done] {
            auto usm = own(tolv::testing::usm_target(c.user, "127.0.0.1", c.port, 2000));
            auto pdu = own(pms_create_pdu(nullptr));
            pdu->set_type(pms_pdu_type::kGetRequest);
            pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.5.0", nullptr), nullptr);
            auto dispatcher = own(pms_create_session_dispatcher(nullptr));
            if (c.discovery) {
                IPmsSnmpPacketList* found = nullptr;
                EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), usm.get(), &found), kOk) << c.what;
                if (found != nullptr) found->release();
            } else {
                EXPECT_EQ(dispatcher->send_sync(pdu.get(), usm.get()), kErrTimeout) << c.what;
            }
            waiting_done = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let it reach its wait
        EXPECT_TRUE(read_one(true, 7)) << c.what;
        EXPECT_FALSE(waiting_done.load()) << c.what << ": the request waited for it";
        waiting.join();
    }
}
