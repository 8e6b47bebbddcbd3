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
using tolv::testing::kShaAes;

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

// An SNMPv3 discovery spends its time waiting for answers; meanwhile other
// threads' SNMPv3 requests go on instead of waiting for it to end.
TEST(Threads, SnmpV3RequestsGoOnDuringADiscovery) {
    std::atomic<bool> discovery_done{false};
    std::thread discovery([&discovery_done] {
        // Nobody listens on the discard port: the probe waits its whole time-out.
        auto usm = own(tolv::testing::usm_target(kShaAes, "127.0.0.1", 9, 2000));
        auto pdu = own(pms_create_pdu(nullptr));
        pdu->set_type(pms_pdu_type::kGetRequest);
        pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.5.0", nullptr), nullptr);
        auto dispatcher = own(pms_create_session_dispatcher(nullptr));
        IPmsSnmpPacketList* found = nullptr;
        EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), usm.get(), &found), kOk);
        if (found != nullptr) found->release();
        discovery_done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let it reach its wait
    EXPECT_TRUE(read_one(true, 7));
    EXPECT_FALSE(discovery_done.load()) << "the request waited for the discovery";
    discovery.join();
}
