#include <gtest/gtest.h>

#include <string>

#include "test_objects.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

TEST(Oid, Validity) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"", true},       {"0", true},       {"0.0", true},    {"1.3.6.1.2.1.1.2.0", true}, {"4294967295", true},
        {"1.3.06.1", false}, {"1..3", false}, {"1.3.", false}, {".1", false},              {"1.a", false},
        {"1 .3", false},  {"00", false},     {".", false},
    };
    for (const auto& c : cases) {
        std::int32_t result = 1;
        auto oid = own(pms_create_oid_from_text(c.text, &result));
        EXPECT_EQ(oid != nullptr, c.valid) << c.text;
        EXPECT_EQ(result, c.valid ? kOk : kErrBadArgument) << c.text;
    }
}

TEST(Oid, CountAndElements) {
    auto oid = oid_of("1.3.6.1");
    std::int32_t result = kOk;
    EXPECT_EQ(oid->as_value()->get_count(), 4u);
    EXPECT_EQ(oid->as_value()->get_element(3, &result), 1u);
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(oid->as_value()->get_element(4, &result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrNotFound);

    auto empty = own(pms_create_oid(nullptr));
    EXPECT_EQ(empty->as_value()->get_element(0, &result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrEmpty);

    // Arcs are 32-bit numbers; a longer run of digits reads as the largest.
    auto big = oid_of("1.4294967295.99999999999");
    EXPECT_EQ(big->as_value()->get_element(1, nullptr), 4294967295u);
    EXPECT_EQ(big->as_value()->get_element(2, nullptr), 4294967295u);
}

TEST(Oid, CompareIsTextual) {
    const struct {
        const char* self;
        const char* other;
        std::int32_t relation;
    } cases[] = {
        {"1.3.6.1", "1.3.6.1.2", pms_oid_relation::kOtherBelow},
        {"1.3.6.1.2", "1.3.6.1", pms_oid_relation::kThisBelow},
        {"1.3.6.1.10", "1.3.6.1.9", pms_oid_relation::kBefore},
        {"1.3.6.12", "1.3.6.1", pms_oid_relation::kAfter},
        {"1.3.6.1", "1.3.6.12", pms_oid_relation::kBefore},
        {"1.3.6.1", "1.3.6.1", pms_oid_relation::kEqual},
        {"", "", pms_oid_relation::kEqual},
        {"", "1", pms_oid_relation::kBefore},
        {"1.3", "1.4", pms_oid_relation::kBefore},
    };
    for (const auto& c : cases) {
        auto self = oid_of(c.self);
        auto other = oid_of(c.other);
        std::int32_t result = 1;
        EXPECT_EQ(self->compare(c.other, &result), c.relation) << c.self << " vs " << c.other;
        EXPECT_EQ(result, kOk);
        EXPECT_EQ(self->compare(other.get(), nullptr), c.relation);
    }
    auto oid = oid_of("1.3");
    std::int32_t result = kOk;
    EXPECT_EQ(oid->compare(static_cast<const char*>(nullptr), &result), -1);
    EXPECT_EQ(result, kErrBadArgument);
    EXPECT_EQ(oid->compare(static_cast<const IPmsOid*>(nullptr), &result), -1);
}

TEST(Oid, Erase) {
    const struct {
        const char* text;
        std::uint32_t start;
        std::uint32_t count;
        std::int32_t code;
        const char* left;
    } cases[] = {
        {"1.3.6.1.2", 1, 2, kOk, "1.1.2"},
        {"1.3.6.1.2", 3, 0xFFFFFFFF, kOk, "1.3.6"},
        {"1.3.6.1.2", 9, 1, kErrBadArgument, "1.3.6.1.2"},
        {"1.3.6.1.2", 5, 1, kErrBadArgument, "1.3.6.1.2"},
        {"1.3.6.1.2", 0, 2, kOk, "6.1.2"},
        {"1.3.6.1.2", 0, 5, kOk, ""},
        {"1.3.6.1.2", 2, 100, kOk, "1.3"},
        {"1.3.6.1.2", 4, 1, kOk, "1.3.6.1"},
        {"1.3.6.1.2", 2, 0, kOk, "1.3.6.1.2"},
        {"", 0, 1, kErrBadArgument, ""},
    };
    for (const auto& c : cases) {
        auto oid = oid_of(c.text);
        EXPECT_EQ(oid->erase(c.start, c.count), c.code) << c.text << " " << c.start;
        EXPECT_EQ(text_of(oid.get()), c.left);
        EXPECT_EQ(oid->as_value()->get_count(), oid_of(c.left)->as_value()->get_count()) << c.left;
    }
}

TEST(Oid, RemovePrefix) {
    const struct {
        const char* text;
        const char* prefix;
        std::int32_t code;
        const char* left;
    } cases[] = {
        {"1.3.6.1.2", "1.3.6", kOk, "1.2"},
        {"1.3.7.1", "1.3.6", kErrBadArgument, "1.3.7.1"},
        {"1.3.6", "1.3.6", kOk, ""},
        {"1.3.61", "1.3.6", kErrBadArgument, "1.3.61"},
        {"1.3", "1.3.6", kErrBadArgument, "1.3"},
    };
    for (const auto& c : cases) {
        auto oid = oid_of(c.text);
        EXPECT_EQ(oid->remove_prefix(c.prefix), c.code) << c.text;
        EXPECT_EQ(text_of(oid.get()), c.left);
        auto again = oid_of(c.text);
        auto prefix = oid_of(c.prefix);
        EXPECT_EQ(again->remove_prefix(prefix.get()), c.code);
        EXPECT_EQ(again->as_value()->get_count(), oid->as_value()->get_count());
    }
    auto oid = oid_of("1.3");
    EXPECT_EQ(oid->remove_prefix(static_cast<const char*>(nullptr)), kErrBadArgument);
}

TEST(Oid, AppendKeepsTheCountExact) {
    auto oid = own(pms_create_oid(nullptr));
    EXPECT_EQ(oid->append("1.3"), kOk);
    EXPECT_EQ(oid->append(""), kOk);
    EXPECT_EQ(oid->append(static_cast<const char*>(nullptr)), kOk);
    EXPECT_EQ(oid->append(6u), kOk);
    EXPECT_EQ(oid->as_value()->get_count(), 3u);
    auto tail = oid_of("1.2");
    EXPECT_EQ(oid->append(tail.get()), kOk);
    EXPECT_EQ(oid->append(oid.get()), kOk);  // itself
    EXPECT_EQ(text_of(oid.get()), "1.3.6.1.2.1.3.6.1.2");
    EXPECT_EQ(oid->as_value()->get_count(), 10u);
    EXPECT_EQ(oid->append(static_cast<const IPmsOid*>(nullptr)), kErrBadArgument);
    auto empty = own(pms_create_oid(nullptr));
    EXPECT_EQ(oid->append(empty.get()), kOk);
    EXPECT_EQ(oid->as_value()->get_count(), 10u);
}

TEST(Oid, SplitFrontAndPopArc) {
    auto oid = oid_of("1.3.6.1.2");
    std::int32_t result = 1;
    auto front = own(oid->split_front(2, &result));
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(text_of(front.get()), "1.3");
    EXPECT_EQ(text_of(oid.get()), "6.1.2");

    auto text = own(oid->split_front_text(1, &result));
    EXPECT_TRUE(text->equals("6"));
    EXPECT_EQ(text_of(oid.get()), "1.2");

    auto out = own(pms_create_oid(nullptr));
    EXPECT_EQ(oid->split_front(out.get(), 99), kOk);  // all of them
    EXPECT_EQ(text_of(out.get()), "1.2");
    EXPECT_EQ(text_of(oid.get()), "");
    EXPECT_EQ(oid->split_front(static_cast<IPmsOid*>(nullptr), 1), kErrBadArgument);
    EXPECT_EQ(oid->split_front_text(static_cast<IPmcByteString*>(nullptr), 1), kErrBadArgument);

    auto arcs = oid_of("7.8");
    EXPECT_EQ(arcs->pop_arc(&result), 7u);
    EXPECT_EQ(arcs->pop_arc(&result), 8u);
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(arcs->pop_arc(&result), 0xFFFFFFFFu);
    EXPECT_EQ(result, kErrEmpty);

    auto copy = own(front->clone(&result));
    EXPECT_EQ(copy->compare(front.get(), nullptr), pms_oid_relation::kEqual);
}
