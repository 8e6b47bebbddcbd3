#include <gtest/gtest.h>

#include <string>

#include "test_objects.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

// Appending a value's index form to an OID.
TEST(IndexForm, AppendsEachTypesArcs) {
    const struct {
        std::int32_t tag;
        const char* value;
        std::int32_t implied;
        const char* expected;
    } cases[] = {
        {pms_tag::kOctetString, "AB", 0, "1.2.2.65.66"},
        {pms_tag::kOctetString, "AB", 1, "1.2.65.66"},
        {pms_tag::kOctetString, "", 0, "1.2.0"},
        {pms_tag::kInteger, "-1", 0, "1.2.4294967295"},
        {pms_tag::kGauge32, "7", 1, "1.2.7"},
        {pms_tag::kIpAddress, "10.0.0.1", 0, "1.2.4.10.0.0.1"},
        {pms_tag::kIpAddress, "10.0.0.1", 1, "1.2.10.0.0.1"},
        {pms_tag::kUdpAddress, "10.0.0.1/161", 0, "1.2.1.6.10.0.0.1.0.161"},
        {pms_tag::kIpxAddress, "00000001:000000000002/3", 1, "1.2.5.0.0.0.1.0.0.0.0.0.2.0.3"},
        {pms_tag::kObjectIdentifier, "1.3.6", 0, "1.2.3.1.3.6"},
        {pms_tag::kObjectIdentifier, "1.3.6", 1, "1.2.1.3.6"},
    };
    for (const auto& c : cases) {
        auto oid = oid_of("1.2");
        EXPECT_EQ(oid->append_index(c.value, c.tag, c.implied), kOk) << c.expected;
        EXPECT_EQ(text_of(oid->as_value()), c.expected);
        EXPECT_EQ(oid->as_value()->get_count(), oid_of(c.expected)->as_value()->get_count()) << c.expected;

        auto value = own(pms_create_value_from_text(c.value, c.tag, nullptr));
        EXPECT_EQ(oid_of(c.expected)->as_value()->get_count(), 2 + value->get_index_length(c.implied));
        auto whole = oid_of("9.9");
        EXPECT_EQ(whole->set_index(value.get(), c.implied), kOk);  // replaces the OID
        EXPECT_EQ(text_of(whole->as_value()), std::string(c.expected).substr(4));
    }
}

TEST(IndexForm, TypesWithoutIndexFormRefuse) {
    for (const std::int32_t tag : {pms_tag::kCounter64, pms_tag::kNull, pms_tag::kNoSuchObject}) {
        auto value = own(pms_create_value(tag, nullptr));
        auto oid = oid_of("1.2");
        EXPECT_EQ(oid->append_index(value.get(), 0), kErrNotSupported);
        EXPECT_EQ(value->to_index(oid.get(), 0), kErrNotSupported);
        EXPECT_EQ(text_of(oid->as_value()), "1.2");  // not cleared
        EXPECT_EQ(oid->pop_index(tag, nullptr, 0, -1), nullptr);
    }
    auto oid = oid_of("1.2");
    EXPECT_EQ(oid->append_index(static_cast<const char*>(nullptr), pms_tag::kInteger, 0), kErrBadArgument);
    EXPECT_EQ(oid->append_index(static_cast<const IPmsValue*>(nullptr), 0), kErrBadArgument);
}

// Taking a value back out of the leading arcs of an index OID.
TEST(IndexForm, PopsValuesFromTheFront) {
    const struct {
        const char* index;
        std::int32_t tag;
        std::int32_t implied;
        std::int32_t count;
        std::int32_t code;
        const char* value;
        const char* left;
    } cases[] = {
        {"2.65.66.9", pms_tag::kOctetString, 0, -1, kOk, "AB", "9"},
        {"3.65.66", pms_tag::kOctetString, 0, -1, kErrIndexType, "", "3.65.66"},
        {"2.65.256", pms_tag::kOctetString, 0, -1, kErrIndexType, "", "2.65.256"},
        {"65.66.67", pms_tag::kOctetString, 1, 2, kOk, "AB", "67"},
        {"65.66.67", pms_tag::kOctetString, 1, -1, kOk, "ABC", ""},
        {"65.66.67", pms_tag::kOctetString, 1, 9, kOk, "ABC", ""},
        {"", pms_tag::kOctetString, 0, -1, kErrEmpty, "", ""},
        {"4.10.0.0.1", pms_tag::kIpAddress, 0, -1, kOk, "10.0.0.1", ""},
        {"5.10.0.0.1.2", pms_tag::kIpAddress, 0, -1, kErrIndexType, "0.0.0.0", "5.10.0.0.1.2"},
        {"4.10.0.0", pms_tag::kIpAddress, 0, -1, kErrNotFound, "0.0.0.0", "4.10.0.0"},
        {"10.0.0.1.7", pms_tag::kIpAddress, 1, -1, kOk, "10.0.0.1", "7"},
        {"1.6.10.0.0.1.0.161", pms_tag::kUdpAddress, 0, -1, kOk, "10.0.0.1/161", ""},
        {"2.6.10.0.0.1.0.161", pms_tag::kUdpAddress, 0, -1, kErrIndexType, "0.0.0.0/0", "2.6.10.0.0.1.0.161"},
        {"1.5.10.0.0.1.0.161", pms_tag::kUdpAddress, 0, -1, kErrIndexType, "0.0.0.0/0", "1.5.10.0.0.1.0.161"},
        {"5.0.0.0.1.0.0.0.0.0.2.0.3", pms_tag::kIpxAddress, 1, -1, kOk, "00000001:000000000002/3", ""},
        {"42.1", pms_tag::kInteger, 0, -1, kOk, "42", "1"},
        {"4294967295", pms_tag::kInteger, 0, -1, kOk, "-1", ""},
        {"3.1.3.6.9", pms_tag::kObjectIdentifier, 0, -1, kOk, "1.3.6", "9"},
        {"4.1.3.6", pms_tag::kObjectIdentifier, 0, -1, kErrIndexType, "", "4.1.3.6"},
        {"1.3.6", pms_tag::kObjectIdentifier, 1, -1, kOk, "1.3.6", ""},
        {"1.3.6", pms_tag::kObjectIdentifier, 1, 2, kOk, "1.3", "6"},
    };
    for (const auto& c : cases) {
        auto oid = oid_of(c.index);
        auto value = own(pms_create_value(c.tag, nullptr));
        EXPECT_EQ(oid->pop_index(value.get(), c.implied, c.count), c.code) << c.index;
        EXPECT_EQ(text_of(value.get()), c.value) << c.index;
        EXPECT_EQ(text_of(oid->as_value()), c.left) << c.index;

        // The peeking forms leave the OID alone.
        auto peeked_at = oid_of(c.index);
        std::int32_t result = 1;
        auto peeked = own(peeked_at->peek_index(c.tag, &result, c.implied));
        if (c.count == -1) {
            EXPECT_EQ(result, c.code) << c.index;
            EXPECT_EQ(peeked != nullptr, c.code == kOk);
        }
        EXPECT_EQ(text_of(peeked_at->as_value()), c.index);
    }
}

TEST(IndexForm, CountStaysExactAfterAppendingAnIndex) {
    auto oid = oid_of("1.2");
    ASSERT_EQ(oid->as_value()->get_count(), 2u);
    EXPECT_EQ(oid->append_index("abc", pms_tag::kOctetString, 0), kOk);
    EXPECT_EQ(oid->as_value()->get_count(), 6u);
}
