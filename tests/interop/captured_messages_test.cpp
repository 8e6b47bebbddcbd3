// Messages that Net-SNMP's tools and snmpsimd really sent, captured once on
// loopback (tests/fixtures/capture.py): each decodes to the right PDU and
// encodes back to the same bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "codec_support.h"
#include "test_objects.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;
using namespace tolv::testing;

namespace {
struct Captured {
    std::string name;
    std::string direction;
    Bytes bytes;
};

std::vector<Captured> load_captures() {
    std::vector<Captured> messages;
    std::ifstream in(TOLV_CAPTURED_MESSAGES);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto first = line.find('|');
        const auto second = line.find('|', first + 1);
        messages.push_back({line.substr(0, first), line.substr(first + 1, second - first - 1),
                            hex(line.substr(second + 1))});
    }
    return messages;
}

std::string text(const IPmsValue* value) {
    auto t = own(value->to_text(static_cast<std::int32_t*>(nullptr)));
    if (t == nullptr) return "<none>";
    return t->get_length() ? std::string(t->get_data(), t->get_length()) : "";
}

// What a captured message must decode to.
struct Expected {
    std::int32_t version;
    std::int32_t type;
    std::int32_t error_status;
    std::int32_t error_index;
    std::vector<std::pair<std::int32_t, std::string>> values;  // tag and text form (octets as hex)
};

std::string printable(const IPmsValue* value) {
    if (value->get_type() != pms_tag::kOctetString && value->get_type() != pms_tag::kOpaque) return text(value);
    std::uint32_t length = 0;
    const std::uint8_t* bytes = value->get_bytes(&length, nullptr);
    return to_hex(Bytes(bytes, bytes + length));
}

const std::string kSysDescr = to_hex(Bytes{'T', 'o', 'l', 'v', ' ', 's', 'i', 'm', 'u', 'l', 'a', 't', 'e', 'd', ' ',
                                           'p', 'r', 'i', 'n', 't', 'e', 'r'});

const std::map<std::string, Expected> kExpected = {
    {"v1_get_system/request", {0, 0, 0, 0, {{5, "<none>"}, {5, "<none>"}, {5, "<none>"}}}},
    {"v1_get_system/response",
     {0, 2, 0, 0, {{4, kSysDescr}, {6, "1.3.6.1.4.1.46712.1.1"}, {67, "123456"}}}},
    {"v2c_get_types/response",
     {1, 2, 0, 0,
      {{4, "00C0FFEE0001"}, {64, "127.0.0.1"}, {67, "4294967295"}, {70, "4294967301"}, {65, "4294967295"},
       {66, "3000000000"}, {2, "-2"}, {2, "-129"}, {68, "DEADBEEF"}}}},
    {"v2c_getnext_end/response", {1, 2, 0, 0, {{0x82, "<none>"}}}},
    {"v2c_get_missing/response", {1, 2, 0, 0, {{0x81, "<none>"}, {0x81, "<none>"}}}},
    {"v1_getnext_end/response", {0, 2, 2, 1, {{5, "<none>"}}}},
    {"v2c_getbulk/request", {1, 5, 1, 3, {{5, "<none>"}, {5, "<none>"}}}},
    {"v1_set/request", {0, 3, 0, 0, {{2, "5"}}}},
    {"v1_set/response", {0, 2, 2, 1, {{2, "5"}}}},
};
}  // namespace

TEST(CapturedMessages, DecodeToTheRightPdusAndEncodeBackToTheSameBytes) {
    const std::vector<Captured> messages = load_captures();
    ASSERT_GE(messages.size(), 16u) << "fixtures missing: " << TOLV_CAPTURED_MESSAGES;
    int checked = 0;
    for (const Captured& message : messages) {
        const std::string key = message.name + "/" + message.direction;
        const Decoded decoded = decode(message.bytes);
        auto packet = own(decoded.packet);
        ASSERT_EQ(decoded.code, kOk) << key;
        IPmsPdu* pdu = packet->get_pdu();
        void* community = nullptr;
        packet->get_target()->query_interface(pms_target_id::kCommunity, &community);
        ASSERT_NE(community, nullptr);
        EXPECT_STREQ(static_cast<IPmsCommunity*>(community)->get_community(), "public");

        // Back to bytes: the same message, byte for byte.
        packet->get_target()->set_max_size(65535);
        const Encoded encoded = encode(pdu, packet->get_target());
        ASSERT_EQ(encoded.code, kOk) << key;
        EXPECT_EQ(to_hex(encoded.bytes), to_hex(message.bytes)) << key;

        const auto expected = kExpected.find(key);
        if (expected == kExpected.end()) continue;
        const Expected& e = expected->second;
        EXPECT_EQ(packet->get_target()->get_version(), e.version) << key;
        EXPECT_EQ(pdu->get_type(), e.type) << key;
        EXPECT_EQ(pdu->get_error_status(), e.error_status) << key;
        EXPECT_EQ(pdu->get_error_index(), e.error_index) << key;
        ASSERT_EQ(pdu->get_bindings()->get_count(), e.values.size()) << key;
        for (std::size_t i = 0; i < e.values.size(); ++i) {
            const IPmsValue* value = pdu->get_bindings()->get(static_cast<std::uint32_t>(i))->get_value();
            EXPECT_EQ(value->get_type(), e.values[i].first) << key << " #" << i;
            EXPECT_EQ(printable(value), e.values[i].second) << key << " #" << i;
        }
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(kExpected.size()));
}

TEST(CapturedMessages, ErrorStatusMarksTheBindings) {
    for (const Captured& message : load_captures()) {
        if (message.name != "v1_get_missing" || message.direction != "response") continue;
        const Decoded decoded = decode(message.bytes);
        auto packet = own(decoded.packet);
        ASSERT_EQ(decoded.code, kOk);
        const IPmsVarBindList* bindings = packet->get_pdu()->get_bindings();
        if (packet->get_pdu()->get_error_status() == 0) continue;  // the tool's second try
        EXPECT_EQ(packet->get_pdu()->get_error_status(), 2);      // noSuchName
        EXPECT_EQ(bindings->get(0)->get_status(), kPmsStatusOtherInError);
        EXPECT_EQ(bindings->get(1)->get_status(), 2);
        return;
    }
    FAIL() << "no noSuchName answer among the captures";
}
