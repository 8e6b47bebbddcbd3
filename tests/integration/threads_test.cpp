// SNMPv1 and SNMPv3 requests from four threads at once, each thread with
// its own GetData objects: every answer is right on every thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "test_objects.h"
#include "tolvcomm/get_data.h"
#include "tolvcomm/result_codes.h"
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
