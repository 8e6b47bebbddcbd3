// SNMPv3 refusals as Net-SNMP's snmpd gives them: a wrong pass phrase and an
// unknown user end in -214 (the library's authentication and USM errors),
// quickly and with the library's error logged, never in a hang.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "log_capture.h"
#include "test_objects.h"
#include "tolvcomm/get_data.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
using namespace tolv::testing;

namespace {
std::int32_t get_name(const char* user, const char* auth_phrase, const char* priv_phrase) {
    auto data = own(pmc_create_get_data(nullptr));
    EXPECT_EQ(
        data->init("127.0.0.1", IPmcNetworkAddress::IPv4, TOLV_SNMPD_PORT, pms_version::kV3, user, pms_usm::kAuthPriv,
                   pms_usm::kAuthSha, pms_usm::kPrivAes, auth_phrase, priv_phrase, "", 2000, 1, 0),
        kOk);
    data->add_oid_string("1.3.6.1.2.1.1.5", true);
    char name[64] = {};
    const std::int32_t code = data->get_text(name, sizeof name);
    if (code == kOk) {
        EXPECT_STREQ(name, "tolv-snmpd");
    }
    return code;
}
}  // namespace

TEST(SnmpV3Refusals, RightPassPhrasesAreAccepted) {
    EXPECT_EQ(get_name("tolvuser", "tolv-auth-phrase", "tolv-priv-phrase"), kOk);
}

TEST(SnmpV3Refusals, WrongPassPhraseAndUnknownUser) {
    const struct {
        const char* user;
        const char* auth;
    } cases[] = {{"tolvuser", "not-the-auth-phrase"}, {"nosuchuser", "tolv-auth-phrase"}};
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_EQ(get_name(c.user, c.auth, "tolv-priv-phrase"), kErrAuthentication) << c.user;
        EXPECT_TRUE(log.contains("Error, snmp_synch_response(): ")) << c.user;
    }
    // The right user still works afterwards: nothing wrong was remembered.
    EXPECT_EQ(get_name("tolvuser", "tolv-auth-phrase", "tolv-priv-phrase"), kOk);
}

// The library keeps one user per engine and name for the whole process: a
// thread with the wrong pass phrase must not lend its keys to a thread that
// asks as the same user with the right ones at the same time, nor borrow
// theirs.
TEST(SnmpV3RefusalThreads, RightAndWrongPassPhrasesOfOneUserAtOnce) {
    constexpr int kRounds = 20;
    std::atomic<int> accepted{0};
    std::atomic<int> refused{0};
    std::thread wrong([&refused] {
        for (int i = 0; i < kRounds; ++i)
            refused += get_name("tolvuser", "not-the-auth-phrase", "tolv-priv-phrase") == kErrAuthentication;
    });
    for (int i = 0; i < kRounds; ++i) accepted += get_name("tolvuser", "tolv-auth-phrase", "tolv-priv-phrase") == kOk;
    wrong.join();
    EXPECT_EQ(accepted.load(), kRounds);
    EXPECT_EQ(refused.load(), kRounds);
}
