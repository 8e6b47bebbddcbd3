// Net-SNMP's own parser reads what our encoder writes: every value type,
// requests and responses of both versions, and SNMPv1 traps.
#include <gtest/gtest.h>

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/snmp_impl.h>
// clang-format on

#include <string>

#include "codec_support.h"
#include "snmp/pdu.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
using namespace tolv::testing;

namespace {
// A message parsed by Net-SNMP; null pdu when it refused it.
struct Parsed {
    long version = -1;
    std::string community;
    netsnmp_pdu* pdu = nullptr;
    ~Parsed() {
        if (pdu != nullptr) snmp_free_pdu(pdu);
    }
};

void parse(Bytes bytes, Parsed* out) {
    u_char community[256];
    size_t community_length = sizeof community;
    size_t length = bytes.size();
    u_char* data = snmp_comstr_parse(bytes.data(), &length, community, &community_length, &out->version);
    if (data == nullptr) return;
    out->community.assign(reinterpret_cast<char*>(community), community_length);
    netsnmp_pdu* pdu = snmp_pdu_create(0);
    pdu->version = out->version;
    if (snmp_pdu_parse(pdu, data, &length) != 0) {
        snmp_free_pdu(pdu);
        return;
    }
    out->pdu = pdu;
}

std::string oid_text(const oid* name, size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += (i ? "." : "") + std::to_string(name[i]);
    return text;
}

IPmsValue* value_of(std::int32_t tag, const char* text) {
    IPmsValue* value = pms_create_value(tag, nullptr);
    if (text != nullptr) value->set_text(text);
    return value;
}
}  // namespace

TEST(NetSnmpParser, ReadsEveryValueTypeWeWrite) {
    const struct {
        std::int32_t tag;
        const char* text;
        u_char asn_type;
    } values[] = {
        {pms_tag::kInteger, "-129", ASN_INTEGER},         {pms_tag::kInteger, "2147483647", ASN_INTEGER},
        {pms_tag::kOctetString, "printer", ASN_OCTET_STR}, {pms_tag::kNull, nullptr, ASN_NULL},
        {pms_tag::kObjectIdentifier, "1.3.6.1.4.1.46712.1", ASN_OBJECT_ID},
        {pms_tag::kIpAddress, "192.168.0.10", ASN_IPADDRESS}, {pms_tag::kCounter32, "4294967295", ASN_COUNTER},
        {pms_tag::kGauge32, "3000000000", ASN_GAUGE},      {pms_tag::kTimeTicks, "123456", ASN_TIMETICKS},
        {pms_tag::kOpaque, "op", ASN_OPAQUE},              {pms_tag::kCounter64, "18446744073709551615", ASN_COUNTER64},
        {pms_tag::kNoSuchObject, nullptr, SNMP_NOSUCHOBJECT}, {pms_tag::kEndOfMibView, nullptr, SNMP_ENDOFMIBVIEW},
    };
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kResponse);
    pdu->set_request_id(-5);
    for (const auto& v : values) pdu->add(pms_create_oid_from_text("1.3.6.1.2.1.1.1.0", nullptr), value_of(v.tag, v.text));
    auto target = own(community_target(pms_version::kV2c, "secret community"));
    const Encoded encoded = encode(pdu.get(), target.get());
    ASSERT_EQ(encoded.code, kOk);

    Parsed parsed;
    parse(encoded.bytes, &parsed);
    ASSERT_NE(parsed.pdu, nullptr) << "Net-SNMP refused " << to_hex(encoded.bytes);
    EXPECT_EQ(parsed.version, SNMP_VERSION_2c);
    EXPECT_EQ(parsed.community, "secret community");
    EXPECT_EQ(parsed.pdu->command, SNMP_MSG_RESPONSE);
    EXPECT_EQ(parsed.pdu->reqid, -5);
    int i = 0;
    for (netsnmp_variable_list* var = parsed.pdu->variables; var != nullptr; var = var->next_variable, ++i) {
        ASSERT_LT(i, static_cast<int>(std::size(values)));
        EXPECT_EQ(var->type, values[i].asn_type) << i;
        EXPECT_EQ(oid_text(var->name, var->name_length), "1.3.6.1.2.1.1.1.0");
        const IPmsValue* ours = pdu->get_bindings()->get(static_cast<std::uint32_t>(i))->get_value();
        switch (var->type) {
            case ASN_INTEGER: EXPECT_EQ(*var->val.integer, ours->get_int32(nullptr)); break;
            case ASN_COUNTER:
            case ASN_GAUGE:
            case ASN_TIMETICKS: EXPECT_EQ(static_cast<std::uint32_t>(*var->val.integer), ours->get_uint32(nullptr)); break;
            case ASN_COUNTER64:
                EXPECT_EQ(var->val.counter64->high, ours->get_high32(nullptr));
                EXPECT_EQ(var->val.counter64->low, ours->get_low32(nullptr));
                break;
            case ASN_OBJECT_ID:
                EXPECT_EQ(oid_text(var->val.objid, var->val_len / sizeof(oid)), "1.3.6.1.4.1.46712.1");
                break;
            case ASN_OCTET_STR:
            case ASN_OPAQUE:
            case ASN_IPADDRESS: {
                std::uint32_t length = 0;
                const std::uint8_t* bytes = ours->get_bytes(&length, nullptr);
                EXPECT_EQ(Bytes(var->val.string, var->val.string + var->val_len), Bytes(bytes, bytes + length));
                break;
            }
            default: break;
        }
    }
    EXPECT_EQ(i, static_cast<int>(std::size(values)));
}

TEST(NetSnmpParser, ReadsRequestsAndTrapsWeWrite) {
    // A v1 GetNextRequest with many bindings, long enough for two-byte lengths.
    auto request = own(pms_create_pdu(nullptr));
    request->set_type(pms_pdu_type::kGetNextRequest);
    request->set_request_id(2147483647);
    for (int i = 0; i < 30; ++i) {
        const std::string name = "1.3.6.1.2.1.25.3.2.1." + std::to_string(i);
        request->add(pms_create_oid_from_text(name.c_str(), nullptr), nullptr);
    }
    auto v1 = own(community_target(pms_version::kV1, "public"));
    const Encoded encoded = encode(request.get(), v1.get());
    ASSERT_EQ(encoded.code, kOk);
    Parsed parsed;
    parse(encoded.bytes, &parsed);
    ASSERT_NE(parsed.pdu, nullptr);
    EXPECT_EQ(parsed.pdu->command, SNMP_MSG_GETNEXT);
    EXPECT_EQ(parsed.pdu->reqid, 2147483647);
    int count = 0;
    for (netsnmp_variable_list* var = parsed.pdu->variables; var != nullptr; var = var->next_variable) ++count;
    EXPECT_EQ(count, 30);

    // An enterprise-specific SNMPv1 trap.
    auto trap = own(pms_create_pdu(nullptr));
    trap->set_type(pms_pdu_type::kTrap);
    trap->set_timestamp(value_of(pms_tag::kTimeTicks, "77"));
    trap->set_trap_oid(value_of(pms_tag::kObjectIdentifier, "1.3.6.1.4.1.46712.0.9"));
    trap->add(pms_create_oid_from_text("1.3.6.1.2.1.1.5.0", nullptr), value_of(pms_tag::kOctetString, "x"));
    const Encoded trap_bytes = encode(trap.get(), v1.get());
    ASSERT_EQ(trap_bytes.code, kOk);
    Parsed parsed_trap;
    parse(trap_bytes.bytes, &parsed_trap);
    ASSERT_NE(parsed_trap.pdu, nullptr);
    EXPECT_EQ(parsed_trap.pdu->command, SNMP_MSG_TRAP);
    EXPECT_EQ(oid_text(parsed_trap.pdu->enterprise, parsed_trap.pdu->enterprise_length), "1.3.6.1.4.1.46712");
    EXPECT_EQ(parsed_trap.pdu->trap_type, 6);
    EXPECT_EQ(parsed_trap.pdu->specific_type, 9);
    EXPECT_EQ(parsed_trap.pdu->time, 77u);
}
