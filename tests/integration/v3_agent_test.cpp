// SNMPv3 through GetData and the session against snmpsimd's v3 users.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <unistd.h>

#include <vector>

#include <string>

#include "codec_support.h"
#include "log_capture.h"
#include "session/session_dispatcher.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "test_objects.h"
#include "tolvcomm/get_data.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"
#include "v3_users.h"

using namespace tolv;
using namespace tolv::testing;
using P = IPmcNetworkAddress;

namespace {
constexpr std::uint16_t kPort = TOLV_AGENT_PORT;

const V3User kUsers[] = {kMd5Des, kShaAes, kShaOnly, kNoAuth};

Owned<IPmcGetData> v3_data(const V3User& user, const char* address = "127.0.0.1", P::EProtocol protocol = P::IPv4) {
    auto data = own(pmc_create_get_data(nullptr));
    EXPECT_EQ(data->init(address, protocol, kPort, pms_version::kV3, user.name, user.level, user.auth, user.priv,
                         user.auth_phrase, user.priv_phrase, "public", 3000, 1, 0),
              kOk);
    return data;
}
}  // namespace

TEST(SnmpV3Agent, GetsWithEveryUserKind) {
    for (const V3User& user : kUsers) {
        for (const auto& [address, protocol] : {std::pair{"127.0.0.1", P::IPv4}, std::pair{"::1", P::IPv6}}) {
            auto data = v3_data(user, address, protocol);
            data->add_oid_string("1.3.6.1.2.1.1.5", true);
            char name[64] = {};
            EXPECT_EQ(data->get_text(name, sizeof name), kOk) << user.name << " " << address;
            EXPECT_STREQ(name, "sim-printer") << user.name << " " << address;
        }
    }
}

// A process may hold more descriptors than an fd_set has room for: an
// exchange whose socket gets a number beyond that still works (and writes
// nothing past a set).
TEST(SnmpV3Agent, AnswersWhenTheSocketNumberIsBeyondFdSetSize) {
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit original = limit;
    constexpr rlim_t kWanted = FD_SETSIZE + 64;
    if (limit.rlim_cur < kWanted) limit.rlim_cur = std::min<rlim_t>(kWanted, limit.rlim_max);
    if (limit.rlim_cur < kWanted || setrlimit(RLIMIT_NOFILE, &limit) != 0) GTEST_SKIP() << "too few descriptors";
    std::vector<int> fillers;  // every number below the set's size taken
    for (int fd = 0; fd >= 0 && fd < FD_SETSIZE + 8;) {
        fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd >= 0) fillers.push_back(fd);
    }
    for (const V3User& user : {kShaAes, kNoAuth}) {
        auto data = v3_data(user);
        data->add_oid_string("1.3.6.1.2.1.1.5", true);
        char name[64] = {};
        EXPECT_EQ(data->get_text(name, sizeof name), kOk) << user.name;
        EXPECT_STREQ(name, "sim-printer") << user.name;
    }
    for (const int fd : fillers) close(fd);
    setrlimit(RLIMIT_NOFILE, &original);
}

TEST(SnmpV3Agent, WalksAndIntegers) {
    auto data = v3_data(kShaAes);
    data->add_oid_string("1.3.6.1.2.1.25.3.2.1.3", false);
    auto rows = own(pms_create_pdu_list(nullptr));
    ASSERT_EQ(data->get_data(rows.get(), "1.3.6.1.2.1.25.3.2.1.3"), kOk);
    EXPECT_EQ(rows->get_count(), 5u);
    auto numbers = v3_data(kMd5Des);
    numbers->add_oid_string("1.3.6.1.2.1.1.7", true);
    numbers->add_oid_string("1.3.6.1.2.1.43.11.1.1.9.1.2", false);
    std::int32_t values[2] = {};
    ASSERT_EQ(numbers->get_data(values, 2), kOk);
    EXPECT_EQ(values[0], 72);
    EXPECT_EQ(values[1], -129);
}

TEST(SnmpV3Agent, AnswerFillsThePduAndTheTarget) {
    LogCapture log;
    auto usm = own(usm_target(kShaAes, "127.0.0.1", kPort, 3000));
    usm->set_retries(1);
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.31.1.1.1.10.1", nullptr), nullptr);
    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    ASSERT_EQ(dispatcher->send_sync(pdu.get(), usm.get()), kOk);
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kResponse);
    const IPmsValue* counter = pdu->get_bindings()->get(0)->get_value();
    ASSERT_EQ(counter->get_type(), pms_tag::kCounter64);
    EXPECT_EQ(counter->get_high32(nullptr), 1u);  // 2^32 + 5
    EXPECT_EQ(counter->get_low32(nullptr), 5u);
    EXPECT_GT(usm->get_engine_id()->get_length(), 0u);  // the agent's engine
    EXPECT_STREQ(usm->get_address()->text(), "127.0.0.1");
    EXPECT_EQ(usm->get_address()->port(), kPort);  // where the answer came from
    EXPECT_STREQ(usm->get_security_name(), "shaaes");
    EXPECT_TRUE(log.contains("Trace, [v3RequestSession::send_sync_internal(IPmsPdu*, IPmsSnmpTarget*)] enter."));
    // The library's datagrams go through our own socket layer.
    EXPECT_TRUE(log.contains("[DataGramSocket::receive] receive packet port:"));
}

namespace {
// The packets an SNMPv3 discovery of sysName.0 for the target collects.
Owned<IPmsSnmpPacketList> discover(IPmsSnmpTarget* target) {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kGetRequest);
    pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.5.0", nullptr), nullptr);
    auto dispatcher = own(pms_create_session_dispatcher(nullptr));
    IPmsSnmpPacketList* found = nullptr;
    EXPECT_EQ(dispatcher->send_broad_cast_sync(pdu.get(), target, &found), kOk);
    return own(found != nullptr ? found : pms_create_packet_list(nullptr));
}
}  // namespace

// A probe sent to one address is answered like a broadcast one: the engine
// found is then asked the request itself.
TEST(SnmpV3Discovery, FindsTheEngineAndAsksIt) {
    LogCapture log;
    auto usm = own(usm_target(kShaAes, "127.0.0.1", kPort, 1000));
    auto list = discover(usm.get());
    ASSERT_EQ(list->get_count(), 1u);
    IPmcPtrListIterator* it = list->create_iterator(nullptr);
    const IPmsSnmpPacket* packet = list->get_at(it);
    list->release_iterator(it);
    EXPECT_EQ(text_of(packet->get_pdu()->get_bindings()->get(0)->get_value()), "sim-printer");
    void* part = nullptr;
    packet->get_target()->query_interface(pms_target_id::kUsm, &part);
    ASSERT_NE(part, nullptr);
    EXPECT_GT(static_cast<IPmsUsm*>(part)->get_engine_id()->get_length(), 0u);
    EXPECT_STREQ(packet->get_target()->get_address()->text(), "127.0.0.1");
    // The caller's target is left as it was.
    EXPECT_EQ(usm->get_engine_id()->get_length(), 0u);
    EXPECT_TRUE(log.contains("Trace, [v3RequestSession::get_engine_id_broad_cast] enter."));
    EXPECT_TRUE(log.contains("Trace, [broadcast_callback] enter."));
}

// Nobody on the discard port answers the probe; the agent answers it but
// refuses an unknown user. Either way the list is empty and the result 0.
TEST(SnmpV3Discovery, NoEngineToAskGivesAnEmptyList) {
    struct Case {
        std::uint16_t port;
        const char* user;
        std::int32_t timeout_ms;
    };
    for (const Case& c : {Case{9, "shaaes", 300}, Case{kPort, "nosuchuser", 500}}) {
        auto usm = own(usm_target(kShaAes, "127.0.0.1", c.port, c.timeout_ms));
        usm->set_security_name(c.user);
        EXPECT_EQ(discover(usm.get())->get_count(), 0u) << c.port << " " << c.user;
    }
}

namespace {
int open_descriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) ++count;
        closedir(dir);
    }
    return count;
}

std::size_t heap_in_use() { return mallinfo2().uordblks; }
}  // namespace

TEST(SnmpV3Agent, AThousandRequestsKeepNeitherMemoryNorDescriptors) {
    auto get_name = [] {
        auto data = v3_data(kShaAes);
        data->add_oid_string("1.3.6.1.2.1.1.5", true);
        char name[64];
        return data->get_text(name, sizeof name);
    };
    for (int i = 0; i < 50; ++i) ASSERT_EQ(get_name(), kOk);  // warm: library, free lists, key cache
    const int descriptors = open_descriptors();
    const std::size_t heap = heap_in_use();
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(get_name(), kOk) << i;
    EXPECT_EQ(open_descriptors(), descriptors);
    // Nothing accumulates per request (users, engine times, sessions): the
    // heap may move by a few blocks, not by a thousand of anything.
    EXPECT_LT(heap_in_use(), heap + 64 * 1024) << "grew by " << (heap_in_use() - heap);
}

TEST(SnmpV3Agent, TheLibraryForgetsUsersBetweenRequests) {
    // Right pass phrases first: the library learns the user and the engine.
    auto right = v3_data(kShaAes);
    right->add_oid_string("1.3.6.1.2.1.1.5", true);
    char name[64];
    ASSERT_EQ(right->get_text(name, sizeof name), kOk);
    // The same user with a wrong pass phrase must not ride on what was
    // learned: it is refused (this agent just does not answer).
    V3User wrong = kShaAes;
    wrong.auth_phrase = "not-the-auth-phrase";
    auto data = own(pmc_create_get_data(nullptr));
    ASSERT_EQ(data->init("127.0.0.1", P::IPv4, kPort, pms_version::kV3, wrong.name, wrong.level, wrong.auth, wrong.priv,
                         wrong.auth_phrase, wrong.priv_phrase, "public", 300, 0, 0),
              kOk);
    data->add_oid_string("1.3.6.1.2.1.1.5", true);
    EXPECT_NE(data->get_text(name, sizeof name), kOk);
}
