#include <gtest/gtest.h>

#include <string>

#include "test_objects.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/translator.h"
#include "tolvcomm/result_codes.h"
#include "transport/network_address.h"

using namespace tolv;

namespace {
Owned<IPmcNetworkAddress> address(const char* text, std::uint16_t port) {
    auto a = own(pmc_create_network_address(nullptr));
    a->assign(text, IPmcNetworkAddress::IPv4, port);
    return a;
}

Owned<IPmsCommunity> community(const char* text) {
    auto target = own(pms_create_community_target(nullptr));
    target->set_community(text);
    return target;
}

Owned<IPmsUsm> usm(const char* name) {
    auto target = own(pms_create_usm_target(nullptr));
    target->set_security_name(name);
    target->set_security_level(pms_usm::kAuthPriv);
    target->set_auth_protocol(pms_usm::kAuthSha);
    target->set_priv_protocol(pms_usm::kPrivAes);
    target->set_auth_passphrase("auth phrase");
    target->set_priv_passphrase("priv phrase");
    target->set_context_name("ctx");
    return target;
}

// Records which header operation a target chose.
class HeaderProbe final : public IPmsTranslator {
public:
    std::string called;
    std::int32_t header(IPmsCommunity*) override {
        called = "header";
        return 11;
    }
    std::int32_t v3_header(IPmsUsm*) override {
        called = "v3_header";
        return 12;
    }
    void release() override {}
    std::int32_t message(IPmsSnmpPacket*) override { return 0; }
    std::int32_t pdu(IPmsPdu*) override { return 0; }
    std::int32_t varbind_list(IPmsVarBindList*) override { return 0; }
    std::int32_t varbind(IPmsVarBind*) override { return 0; }
    std::int32_t request_header(IPmsPdu*) override { return 0; }
    std::int32_t trap_v1_header(IPmsPdu*) override { return 0; }
    std::int32_t trap_v2_header(IPmsPdu*) override { return 0; }
    void set_buffer(IPmsPacketBuffer*) override {}
    void set_translate_type(std::int32_t) override {}
    void set_header_only(bool) override {}
    std::uint32_t encoded_count() const override { return 0; }
};
}  // namespace

TEST(Target, NewTargetsHaveTheirDefaults) {
    auto target = own(pms_create_target(pms_security_model::kCommunity, nullptr));
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->get_version(), -1);
    EXPECT_EQ(target->get_timeout(), -1);
    EXPECT_EQ(target->get_retries(), 0);
    EXPECT_EQ(target->get_max_size(), 0);
    EXPECT_EQ(target->get_port(), 0);
    EXPECT_EQ(target->get_address(), nullptr);
    EXPECT_EQ(target->get_security_model(), pms_security_model::kCommunity);

    std::int32_t result = 0;
    EXPECT_EQ(pms_create_target(pms_security_model::kUsm, &result), nullptr);
    EXPECT_EQ(result, kErrBadArgument);

    auto u = own(pms_create_usm_target(nullptr));
    EXPECT_STREQ(u->get_security_name(), "");
    EXPECT_EQ(u->get_security_level(), 0);
    EXPECT_EQ(u->get_engine_id()->get_length(), 0u);
    EXPECT_EQ(u->get_security_model(), pms_security_model::kUsm);
}

TEST(Target, AcceptChoosesTheHeaderOfItsKind) {
    HeaderProbe probe;
    auto c = community("public");
    EXPECT_EQ(c->accept(&probe), 11);
    EXPECT_EQ(probe.called, "header");
    auto u = usm("user");
    EXPECT_EQ(u->accept(&probe), 12);
    EXPECT_EQ(probe.called, "v3_header");
    EXPECT_EQ(c->accept(nullptr), kErrBadArgument);
}

TEST(Target, QueryInterfaceMapsKinds) {
    auto c = community("public");
    void* part = nullptr;
    const struct {
        std::int32_t id;
        bool community_has;
        bool usm_has;
    } rows[] = {{0, true, true}, {1, true, true}, {2, true, false}, {3, true, false},
                {4, false, true}, {5, false, true}, {6, false, false}, {-1, false, false}};
    auto u = usm("user");
    for (const auto& row : rows) {
        EXPECT_EQ(c->query_interface(row.id, &part) == kOk, row.community_has) << row.id;
        EXPECT_EQ(part != nullptr, row.community_has);
        EXPECT_EQ(u->query_interface(row.id, &part) == kOk, row.usm_has) << row.id;
    }
    c->query_interface(2, &part);
    EXPECT_EQ(part, static_cast<IPmsCommunity*>(c.get()));
    EXPECT_EQ(c->query_interface(2, nullptr), kOk);  // nothing written
}

TEST(Target, EqualityComparesOnlyTheKindsContents) {
    auto a = community("public");
    auto b = community("public");
    a->set_address(address("10.0.0.1", 161).get());
    b->set_address(address("10.0.0.2", 162).get());
    b->set_timeout(5);
    EXPECT_TRUE(a->equals(b.get()));
    auto c = community("private");
    EXPECT_FALSE(a->equals(c.get()));
    auto none1 = own(pms_create_community_target(nullptr));
    auto none2 = own(pms_create_community_target(nullptr));
    EXPECT_TRUE(none1->equals(none2.get()));
    EXPECT_FALSE(none1->equals(a.get()));
    auto u = usm("user");
    EXPECT_FALSE(a->equals(u.get()));
    EXPECT_FALSE(u->equals(a.get()));
    EXPECT_FALSE(a->equals(nullptr));

    auto u2 = usm("user");
    u2->set_engine_id("\x80\x01", 2);  // the engine ID does not count
    EXPECT_TRUE(u->equals(u2.get()));
    u2->set_context_name("other");
    EXPECT_FALSE(u->equals(u2.get()));
}

TEST(Target, CopyAndClone) {
    auto source = community("public");
    source->set_version(pms_version::kV2c);
    source->set_timeout(3000);
    source->set_retries(2);
    source->set_max_size(1400);
    source->set_port(5000);
    source->set_address(address("10.0.0.1", 161).get());
    auto copy = own(source->clone(nullptr));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->get_version(), pms_version::kV2c);
    EXPECT_EQ(copy->get_timeout(), 3000);
    EXPECT_EQ(copy->get_retries(), 2);
    EXPECT_EQ(copy->get_max_size(), 1400);
    EXPECT_EQ(copy->get_port(), 5000);
    ASSERT_NE(copy->get_address(), nullptr);
    EXPECT_NE(copy->get_address(), source->get_address());
    EXPECT_STREQ(copy->get_address()->text(), "10.0.0.1");
    EXPECT_TRUE(copy->equals(source.get()));

    // Between kinds: the common contents are copied, then -2.
    auto u = usm("user");
    EXPECT_EQ(u->copy(source.get()), kErrBadArgument);
    EXPECT_EQ(u->get_timeout(), 3000);
    EXPECT_EQ(u->copy(nullptr), kErrBadArgument);

    auto usm_copy = own(u->clone(nullptr));
    EXPECT_TRUE(usm_copy->equals(u.get()));

    EXPECT_EQ(source->set_address(nullptr), kOk);
    EXPECT_EQ(source->get_address(), nullptr);
    source->clear();
    EXPECT_EQ(source->get_community(), nullptr);
}

TEST(Target, UsmSecurityNameIsAtMost32Characters) {
    auto u = usm("user");
    EXPECT_EQ(u->set_security_name(std::string(33, 'x').c_str()), kErrBadArgument);
    EXPECT_STREQ(u->get_security_name(), "user");
    EXPECT_EQ(u->set_security_name(std::string(32, 'y').c_str()), kOk);
    EXPECT_EQ(u->set_security_name(nullptr), kOk);
    EXPECT_STREQ(u->get_security_name(), "");
    EXPECT_EQ(u->set_engine_id("\x01\x02", 2), kOk);
    EXPECT_EQ(u->get_engine_id()->get_length(), 2u);
    EXPECT_EQ(u->set_engine_id("\x01", 0), kOk);
    EXPECT_EQ(u->get_engine_id()->get_length(), 0u);
}

TEST(Packet, OwnsPduAndTarget) {
    auto packet = own(pms_create_packet(nullptr));
    EXPECT_EQ(packet->get_pdu(), nullptr);
    EXPECT_EQ(packet->get_target(), nullptr);
    auto empty = own(pms_create_packet(nullptr));
    EXPECT_TRUE(packet->equals(empty.get()));
    EXPECT_FALSE(packet->equals(nullptr));

    auto* pdu = pms_create_pdu(nullptr);
    pdu->set_type(pms_pdu_type::kGetRequest);
    packet->set_pdu(pdu);
    packet->set_target(community("public").release());
    auto copy = own(packet->clone(nullptr));
    EXPECT_TRUE(copy->equals(packet.get()));
    EXPECT_FALSE(copy->equals(empty.get()));
    auto taken = own(copy->take_pdu());
    EXPECT_EQ(copy->get_pdu(), nullptr);
    auto taken_target = own(copy->take_target());
    EXPECT_EQ(copy->get_target(), nullptr);
    packet->set_pdu(nullptr);
    EXPECT_EQ(packet->get_pdu(), nullptr);
}
