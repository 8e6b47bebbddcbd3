#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "test_objects.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {

// Answers each visit with the number of the visitor operation.
class SlotVisitor final : public IPmsValueVisitor {
public:
    std::int32_t visit_oid(IPmsValue*) override { return 0; }
    std::int32_t visit_octets(IPmsValue*) override { return 1; }
    std::int32_t visit_integer(IPmsValue*) override { return 2; }
    std::int32_t visit_null(IPmsValue*) override { return 3; }
    std::int32_t visit_counter32(IPmsValue*) override { return 4; }
    std::int32_t visit_gauge32(IPmsValue*) override { return 5; }
    std::int32_t visit_timeticks(IPmsValue*) override { return 6; }
    std::int32_t visit_counter64(IPmsValue*) override { return 7; }
    std::int32_t visit_ip_address(IPmsValue*) override { return 8; }
    std::int32_t visit_ipv6_address(IPmsValue*) override { return 9; }
    std::int32_t visit_udp_address(IPmsValue*) override { return 10; }
    std::int32_t visit_ipx_address(IPmsValue*) override { return 11; }
    std::int32_t visit_exception(IPmsValue*) override { return 12; }
};

struct TypeRow {
    std::int32_t tag;
    std::uint32_t count;
    std::int32_t visitor_slot;
};

const TypeRow kTypes[] = {
    {pms_tag::kInteger, 1, 2},       {pms_tag::kOctetString, 0, 1},    {pms_tag::kNull, 0, 3},
    {pms_tag::kObjectIdentifier, 0, 0}, {pms_tag::kIpAddress, 4, 8},  {pms_tag::kCounter32, 1, 4},
    {pms_tag::kGauge32, 1, 5},       {pms_tag::kTimeTicks, 1, 6},      {pms_tag::kOpaque, 0, 1},
    {pms_tag::kCounter64, 1, 7},     {pms_tag::kIpv6Address, 16, 9},   {pms_tag::kNoSuchObject, 0, 12},
    {pms_tag::kNoSuchInstance, 0, 12}, {pms_tag::kEndOfMibView, 0, 12}, {pms_tag::kUdpAddress, 6, 10},
    {pms_tag::kIpxAddress, 12, 11},
};

}  // namespace

TEST(ValueFactory, AcceptsExactlyTheKnownTags) {
    int known = 0;
    for (std::int32_t tag = -1; tag <= 0x10000; ++tag) {
        std::int32_t result = 1;
        auto value = own(pms_create_value(tag, &result));
        if (value != nullptr) {
            ++known;
            EXPECT_EQ(result, kOk);
            EXPECT_EQ(value->get_type(), tag);
        } else {
            EXPECT_EQ(result, kErrBadArgument) << tag;
        }
    }
    EXPECT_EQ(known, static_cast<int>(std::size(kTypes)));
}

TEST(ValueFactory, NewValuesHaveTheirCountAndVisitorSlot) {
    SlotVisitor visitor;
    for (const TypeRow& row : kTypes) {
        auto value = own(pms_create_value(row.tag, nullptr));
        ASSERT_NE(value, nullptr) << row.tag;
        EXPECT_EQ(value->get_count(), row.count) << row.tag;
        EXPECT_EQ(value->accept(&visitor), row.visitor_slot) << row.tag;
        EXPECT_EQ(value->accept(nullptr), kErrBadArgument) << row.tag;
        // Fixed-size byte types start with zero bytes.
        for (std::uint32_t i = 0; i < row.count && row.tag != pms_tag::kInteger && row.count > 1; ++i) {
            EXPECT_EQ(value->get_element(i, nullptr), 0u);
        }
    }
}

TEST(ValueFactory, FromIntAndFromTextCheckTheirStep) {
    std::int32_t result = 1;
    auto integer = own(pms_create_value_from_int(-7, pms_tag::kInteger, &result));
    ASSERT_NE(integer, nullptr);
    EXPECT_EQ(integer->get_int32(nullptr), -7);

    EXPECT_EQ(pms_create_value_from_int(7, pms_tag::kGauge32, &result), nullptr);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(pms_create_value_from_text(nullptr, pms_tag::kInteger, &result), nullptr);
    EXPECT_EQ(result, kErrBadArgument);
    EXPECT_EQ(pms_create_value_from_text("1.3.06", pms_tag::kObjectIdentifier, &result), nullptr);
    EXPECT_EQ(result, kErrBadArgument);
    EXPECT_EQ(pms_create_value_from_text("1.2.3", pms_tag::kIpAddress, &result), nullptr);
    EXPECT_EQ(result, kErrBadArgument);
    EXPECT_EQ(pms_create_value_from_text("x", pms_tag::kNull, &result), nullptr);
    EXPECT_EQ(result, kErrNotSupported);
    auto address = own(pms_create_value_from_text("10.1.2.3", pms_tag::kIpAddress, nullptr));
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->get_uint32(nullptr), 0x0A010203u);
}

struct TextCase {
    std::int32_t tag;
    const char* input;
    std::int32_t code;
    const char* printed;  // after the call, success or not
};

class ValueText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ValueText, ParsesAndPrints) {
    const TextCase& c = GetParam();
    auto value = own(pms_create_value(c.tag, nullptr));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->set_text(c.input), c.code);
    EXPECT_EQ(text_of(value.get()), c.printed);
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, ValueText,
    ::testing::Values(
        TextCase{pms_tag::kInteger, "12abc", kOk, "12"}, TextCase{pms_tag::kInteger, "  -42", kOk, "-42"},
        TextCase{pms_tag::kInteger, "+5", kOk, "5"}, TextCase{pms_tag::kInteger, "abc", kOk, "0"},
        TextCase{pms_tag::kInteger, "99999999999", kOk, "2147483647"},
        TextCase{pms_tag::kInteger, "-99999999999", kOk, "-2147483648"},
        TextCase{pms_tag::kInteger, nullptr, kErrBadArgument, "0"},
        TextCase{pms_tag::kCounter32, "-1", kOk, "4294967295"},
        TextCase{pms_tag::kGauge32, "4294967295", kOk, "4294967295"},
        TextCase{pms_tag::kGauge32, "3000000000", kOk, "3000000000"},
        TextCase{pms_tag::kGauge32, "99999999999", kOk, "4294967295"},
        TextCase{pms_tag::kTimeTicks, "100 ticks", kOk, "100"},
        TextCase{pms_tag::kCounter64, "18446744073709551615", kOk, "18446744073709551615"},
        TextCase{pms_tag::kCounter64, "4294967296", kOk, "4294967296"},
        TextCase{pms_tag::kCounter64, "", kOk, "0"},
        TextCase{pms_tag::kCounter64, "12a", kErrBadArgument, "0"},
        TextCase{pms_tag::kCounter64, "18446744073709551616", kErrBadArgument, "0"},
        TextCase{pms_tag::kCounter64, "-1", kErrBadArgument, "0"},
        TextCase{pms_tag::kOctetString, "hello", kOk, "hello"},
        TextCase{pms_tag::kOctetString, nullptr, kOk, ""}, TextCase{pms_tag::kOpaque, "op", kOk, "op"},
        TextCase{pms_tag::kObjectIdentifier, "1.3.06", kOk, "1.3.06"},
        TextCase{pms_tag::kObjectIdentifier, nullptr, kOk, ""},
        TextCase{pms_tag::kIpAddress, "1.2.3.4abc", kOk, "1.2.3.4"},
        TextCase{pms_tag::kIpAddress, "1.2.3", kErrBadArgument, "0.0.0.0"},
        TextCase{pms_tag::kIpAddress, "1.2.3.-4", kErrBadArgument, "0.0.0.0"},
        TextCase{pms_tag::kIpAddress, "256.1.1.1", kErrBadArgument, "0.0.0.0"},
        TextCase{pms_tag::kIpAddress, nullptr, kErrBadArgument, "0.0.0.0"},
        TextCase{pms_tag::kIpv6Address, "fe80:0:0:0:0:0:0:1", kOk, "fe80:0:0:0:0:0:0:1"},
        TextCase{pms_tag::kIpv6Address, "FE80:0:0:0:0:0:1:ABCD", kOk, "fe80:0:0:0:0:0:1:abcd"},
        TextCase{pms_tag::kIpv6Address, "fe80::1", kErrBadArgument, "0:0:0:0:0:0:0:0"},
        TextCase{pms_tag::kIpv6Address, "1:2:3:4:5:6:7", kErrBadArgument, "0:0:0:0:0:0:0:0"},
        TextCase{pms_tag::kUdpAddress, "10.0.0.1/161", kOk, "10.0.0.1/161"},
        TextCase{pms_tag::kUdpAddress, "10.0.0.1/65536", kErrBadArgument, "0.0.0.0/0"},
        TextCase{pms_tag::kUdpAddress, "10.0.0.1", kErrBadArgument, "0.0.0.0/0"},
        TextCase{pms_tag::kIpxAddress, "0000000a:00000000000b/453", kOk, "0000000a:00000000000b/453"},
        TextCase{pms_tag::kIpxAddress, "0000000a:00000000000b/10000", kErrBadArgument,
                 "00000000:000000000000/0"},
        TextCase{pms_tag::kIpxAddress, "0000000a-00000000000b/1", kErrBadArgument, "00000000:000000000000/0"},
        TextCase{pms_tag::kNull, "x", kErrNotSupported, "<-5>"},
        TextCase{pms_tag::kEndOfMibView, "x", kErrNotSupported, "<-5>"}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        return "tag" + std::to_string(info.param.tag) + "_case" + std::to_string(info.index);
    });

TEST(Value, UnsupportedConversionsAnswerTheirDefaults) {
    auto integer = own(pms_create_value(pms_tag::kInteger, nullptr));
    auto octets = own(pms_create_value(pms_tag::kOctetString, nullptr));
    std::int32_t result = kOk;
    EXPECT_EQ(integer->get_uint32(&result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(octets->get_int32(&result), -1);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(integer->get_uint16(&result), 0xFFFF);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(integer->get_high32(&result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(integer->get_low32(&result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrNotSupported);
    std::uint32_t length = 0;
    EXPECT_EQ(integer->get_bytes(&length, &result), nullptr);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(integer->get_oid(), nullptr);
    EXPECT_EQ(octets->set_int32(1), kErrNotSupported);
    EXPECT_EQ(integer->set_uint32(1), kErrNotSupported);
    EXPECT_EQ(integer->set_bytes("a", 1), kErrNotSupported);
    EXPECT_EQ(octets->set_uint16(1), kErrNotSupported);
    EXPECT_EQ(octets->set_high32(1), kErrNotSupported);
    EXPECT_EQ(integer->to_bytes(&result), nullptr);
    EXPECT_EQ(result, kErrNotSupported);
    EXPECT_EQ(octets->get_bytes(nullptr, &result), nullptr);
    EXPECT_EQ(result, kErrBadArgument);
}

TEST(Value, NumbersAndTheirHalves) {
    auto counter64 = own(pms_create_value(pms_tag::kCounter64, nullptr));
    counter64->set_high32(1);
    counter64->set_low32(0);
    EXPECT_EQ(text_of(counter64.get()), "4294967296");
    counter64->set_uint32(5);  // zeroes the high half
    EXPECT_EQ(counter64->get_high32(nullptr), 0u);
    EXPECT_EQ(counter64->get_uint32(nullptr), 5u);

    auto address = own(pms_create_value(pms_tag::kIpAddress, nullptr));
    EXPECT_EQ(address->set_uint32(0xC0A80001u), kOk);
    EXPECT_EQ(text_of(address.get()), "192.168.0.1");
    EXPECT_EQ(address->set_bytes("12345", 5), kErrBadArgument);
    EXPECT_EQ(text_of(address.get()), "192.168.0.1");

    auto udp = own(pms_create_value(pms_tag::kUdpAddress, nullptr));
    udp->set_uint32(0x0A000001u);
    udp->set_uint16(161);
    EXPECT_EQ(text_of(udp.get()), "10.0.0.1/161");
    EXPECT_EQ(udp->get_uint16(nullptr), 161);

    auto ipx = own(pms_create_value(pms_tag::kIpxAddress, nullptr));
    ipx->set_uint16(0x0453);
    EXPECT_EQ(text_of(ipx.get()), "00000000:000000000000/453");

    auto ipv6 = own(pms_create_value(pms_tag::kIpv6Address, nullptr));
    EXPECT_EQ(text_of(ipv6.get()), "0:0:0:0:0:0:0:0");
}

TEST(Value, ByteContentAndElements) {
    auto octets = own(pms_create_value(pms_tag::kOctetString, nullptr));
    std::int32_t result = kOk;
    EXPECT_EQ(octets->get_element(0, &result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrBadArgument);
    ASSERT_EQ(octets->set_bytes("\x01\xFF", 2), kOk);
    EXPECT_EQ(octets->get_element(1, &result), 255u);
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(octets->set_bytes(nullptr, 5), kOk);  // null data empties it
    EXPECT_EQ(octets->get_count(), 0u);

    auto oid = own(pms_create_value(pms_tag::kObjectIdentifier, nullptr));
    EXPECT_EQ(oid->set_bytes(nullptr, 0), kErrBadArgument);
    EXPECT_EQ(oid->set_bytes("1.3.6", 5), kOk);
    EXPECT_EQ(oid->get_count(), 3u);
    EXPECT_EQ(oid->get_uint32(nullptr), 1u);
    auto bytes = own(oid->to_bytes(static_cast<std::int32_t*>(nullptr)));
    EXPECT_TRUE(bytes->equals("1.3.6"));
}

TEST(Value, CloneAssignAndEqualsStayWithinOneType) {
    const struct {
        std::int32_t tag;
        const char* text;
    } filled[] = {
        {pms_tag::kInteger, "-5"},        {pms_tag::kOctetString, "abc"}, {pms_tag::kObjectIdentifier, "1.3.6"},
        {pms_tag::kIpAddress, "1.2.3.4"}, {pms_tag::kCounter32, "9"},     {pms_tag::kGauge32, "8"},
        {pms_tag::kTimeTicks, "7"},       {pms_tag::kOpaque, "o"},        {pms_tag::kCounter64, "99999999999"},
        {pms_tag::kIpv6Address, "1:2:3:4:5:6:7:8"}, {pms_tag::kUdpAddress, "1.2.3.4/5"},
        {pms_tag::kIpxAddress, "01020304:050607080900/a"},
    };
    for (const auto& row : filled) {
        auto value = own(pms_create_value_from_text(row.text, row.tag, nullptr));
        ASSERT_NE(value, nullptr) << row.tag;
        auto copy = own(value->clone(nullptr));
        ASSERT_NE(copy, nullptr);
        EXPECT_TRUE(copy->equals(value.get())) << row.tag;
        EXPECT_EQ(text_of(copy.get()), row.text);
        EXPECT_FALSE(value->equals(nullptr));

        // Another type: refused, content unchanged.
        const std::int32_t other_tag = row.tag == pms_tag::kGauge32 ? pms_tag::kCounter32 : pms_tag::kGauge32;
        auto other = own(pms_create_value(other_tag, nullptr));
        EXPECT_EQ(value->assign(other.get()), kErrBadArgument);
        EXPECT_EQ(value->assign(nullptr), kErrBadArgument);
        EXPECT_FALSE(value->equals(other.get()));
        EXPECT_EQ(text_of(value.get()), row.text);

        copy->clear();
        EXPECT_FALSE(copy->equals(value.get())) << row.tag;
        EXPECT_EQ(copy->assign(value.get()), kOk);
        EXPECT_TRUE(copy->equals(value.get()));
    }
    auto no_such_object = own(pms_create_value(pms_tag::kNoSuchObject, nullptr));
    auto no_such_instance = own(pms_create_value(pms_tag::kNoSuchInstance, nullptr));
    auto another = own(pms_create_value(pms_tag::kNoSuchObject, nullptr));
    EXPECT_TRUE(no_such_object->equals(another.get()));
    EXPECT_FALSE(no_such_object->equals(no_such_instance.get()));
}

TEST(Value, ClearResetsContentButKeepsSizes) {
    auto ip = own(pms_create_value_from_text("1.2.3.4", pms_tag::kIpAddress, nullptr));
    ip->clear();
    EXPECT_EQ(ip->get_count(), 4u);
    EXPECT_EQ(text_of(ip.get()), "0.0.0.0");
    auto octets = own(pms_create_value_from_text("abc", pms_tag::kOctetString, nullptr));
    octets->clear();
    EXPECT_EQ(octets->get_count(), 0u);
    auto oid = own(pms_create_value_from_text("1.3.6", pms_tag::kObjectIdentifier, nullptr));
    oid->clear();
    EXPECT_EQ(oid->get_count(), 0u);
    EXPECT_EQ(text_of(oid.get()), "");
}

TEST(Value, QueryInterfaceFindsEachPart) {
    auto oid = own(pms_create_value(pms_tag::kObjectIdentifier, nullptr));
    void* part = nullptr;
    EXPECT_EQ(oid->query_interface(pms_value_id::kOidPart, &part), kOk);
    EXPECT_EQ(part, oid->get_oid());
    EXPECT_EQ(oid->query_interface(pms_value_id::kValueInterface, &part), kOk);
    EXPECT_EQ(part, static_cast<IPmsValue*>(oid.get()));
    EXPECT_EQ(oid->query_interface(static_cast<std::int32_t>(pms_value_id::kBasePart), &part), kOk);
    EXPECT_NE(part, nullptr);
    EXPECT_EQ(oid->query_interface(static_cast<std::int32_t>(pms_value_id::kTypePartBase + 6), &part), kOk);
    EXPECT_EQ(oid->query_interface(static_cast<std::int32_t>(pms_value_id::kTypePartBase + 2), &part),
              kErrBadArgument);
    EXPECT_EQ(part, nullptr);

    auto counter = own(pms_create_value(pms_tag::kCounter32, nullptr));
    EXPECT_EQ(counter->query_interface(static_cast<std::int32_t>(pms_value_id::kTypePartBase + 0x41), &part), kOk);
    EXPECT_EQ(counter->query_interface(static_cast<std::int32_t>(pms_value_id::kTypePartBase + 0x42), &part), kOk);
    EXPECT_EQ(counter->query_interface(pms_value_id::kOidPart, &part), kErrBadArgument);

    auto exception = own(pms_create_value(pms_tag::kEndOfMibView, nullptr));
    EXPECT_EQ(exception->query_interface(static_cast<std::int32_t>(pms_value_id::kExceptionPart), &part), kOk);
    EXPECT_EQ(exception->query_interface(static_cast<std::int32_t>(pms_value_id::kTypePartBase + 0x82), nullptr),
              kOk);
}
