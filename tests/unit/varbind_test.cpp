#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_objects.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
IPmsOid* oid(const char* text) { return pms_create_oid_from_text(text, nullptr); }

std::string name_of(const IPmsVarBind* binding) {
    auto text = own(binding->get_oid()->as_value()->to_text(static_cast<std::int32_t*>(nullptr)));
    return text->get_length() ? text->get_data() : "";
}

// A list of bindings named 1.1, 1.2, ... 1.n with INTEGER values 1..n.
Owned<IPmsVarBindList> numbered(int n) {
    auto list = own(pms_create_varbind_list(nullptr));
    for (int i = 1; i <= n; ++i) {
        const std::string name = "1." + std::to_string(i);
        list->add(oid(name.c_str()), pms_create_value_from_int(i, pms_tag::kInteger, nullptr));
    }
    return list;
}

std::vector<std::int32_t> statuses(const IPmsVarBindList* list) {
    std::vector<std::int32_t> out;
    for (std::uint32_t i = 0; i < list->get_count(); ++i) out.push_back(list->get(i)->get_status());
    return out;
}
}  // namespace

TEST(VarBind, SetWithoutValueHoldsNull) {
    auto binding = own(pms_create_varbind(nullptr));
    EXPECT_EQ(binding->get_oid(), nullptr);
    EXPECT_EQ(binding->get_value(), nullptr);
    EXPECT_EQ(binding->get_status(), 0);
    EXPECT_EQ(binding->set(oid("1.3"), nullptr), kOk);
    ASSERT_NE(binding->get_value(), nullptr);
    EXPECT_EQ(binding->get_value()->get_type(), pms_tag::kNull);
    EXPECT_EQ(binding->replace(oid("1.4"), nullptr), kOk);
    EXPECT_EQ(name_of(binding.get()), "1.4");
}

TEST(VarBind, TakeHandsOverOrReleases) {
    auto binding = own(pms_create_varbind(nullptr));
    binding->set(oid("1.3"), pms_create_value_from_int(5, pms_tag::kInteger, nullptr));
    IPmsOid* taken = nullptr;
    binding->take(&taken, nullptr);  // the value is released
    auto owned_oid = own(taken);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(binding->get_oid(), nullptr);
    EXPECT_EQ(binding->get_value(), nullptr);
}

TEST(VarBind, EqualityAndClone) {
    auto a = own(pms_create_varbind(nullptr));
    a->set(oid("1.3"), pms_create_value_from_int(5, pms_tag::kInteger, nullptr));
    auto b = own(a->clone(nullptr));
    EXPECT_TRUE(a->equals(b.get()));
    b->set_status(2);
    EXPECT_FALSE(a->equals(b.get()));
    b->set_status(0);
    b->set_value(pms_create_value_from_int(6, pms_tag::kInteger, nullptr));
    EXPECT_FALSE(a->equals(b.get()));
    b->set_value(nullptr);
    EXPECT_FALSE(a->equals(b.get()));
    EXPECT_FALSE(a->equals(nullptr));
    auto empty1 = own(pms_create_varbind(nullptr));
    auto empty2 = own(pms_create_varbind(nullptr));
    EXPECT_TRUE(empty1->equals(empty2.get()));
}

TEST(VarBindList, AddInsertRemoveKeepOrder) {
    auto list = numbered(3);
    EXPECT_EQ(list->add(nullptr, nullptr), kErrBadArgument);
    EXPECT_EQ(list->append(nullptr), kErrBadArgument);
    EXPECT_EQ(list->add_front(oid("1.0"), nullptr), kOk);
    auto extra = pms_create_varbind(nullptr);
    extra->set(oid("1.9"), nullptr);
    EXPECT_EQ(list->insert_front(extra), kOk);
    ASSERT_EQ(list->get_count(), 5u);
    EXPECT_EQ(name_of(list->get(0)), "1.9");
    EXPECT_EQ(name_of(list->get(1)), "1.0");
    EXPECT_EQ(name_of(list->get(4)), "1.3");
    EXPECT_EQ(list->get(5), nullptr);

    IPmsVarBind* removed = nullptr;
    EXPECT_EQ(list->remove(1, &removed), kOk);
    auto owned_removed = own(removed);
    EXPECT_EQ(name_of(removed), "1.0");
    EXPECT_EQ(list->remove(4, nullptr), kErrBadArgument);
    EXPECT_EQ(list->remove(0, nullptr), kOk);
    EXPECT_EQ(list->get_count(), 3u);

    IPmsOid* front_oid = nullptr;
    IPmsValue* front_value = nullptr;
    list->pop_front(&front_oid, &front_value);
    auto o = own(front_oid);
    auto v = own(front_value);
    EXPECT_EQ(v->get_int32(nullptr), 1);
    auto front = own(list->pop_front());
    EXPECT_EQ(name_of(front.get()), "1.2");
    EXPECT_EQ(list->get_count(), 1u);

    auto empty = own(pms_create_varbind_list(nullptr));
    EXPECT_EQ(empty->pop_front(), nullptr);
    empty->pop_front(nullptr, nullptr);
}

TEST(VarBindList, RangesAndSplits) {
    auto list = numbered(5);
    std::int32_t result = 1;
    auto range = own(list->clone_range(3, 10, &result));
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->get_count(), 2u);
    EXPECT_EQ(name_of(range->get(0)), "1.4");
    EXPECT_EQ(list->clone_range(5, 1, &result), nullptr);
    EXPECT_EQ(result, kErrBadArgument);

    auto front = own(list->split_front(3, &result));
    EXPECT_EQ(front->get_count(), 3u);
    EXPECT_EQ(list->get_count(), 2u);
    EXPECT_EQ(name_of(list->get(0)), "1.4");
    auto rest = own(list->split_front(9, &result));
    EXPECT_EQ(rest->get_count(), 2u);
    EXPECT_EQ(list->get_count(), 0u);

    auto copy = own(front->clone(nullptr));
    EXPECT_TRUE(copy->equals(front.get()));
    copy->get(1)->set_status(3);
    EXPECT_FALSE(copy->equals(front.get()));
    EXPECT_FALSE(copy->equals(nullptr));
}

TEST(VarBindList, ErrorStatusMarksTheOthers) {
    const struct {
        std::int32_t status;
        std::uint32_t index;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {2, 3, {100, 100, 2, 100}},
        {5, 1, {5, 100, 100, 100}},
        {2, 0, {100, 100, 100, 100}},
        {2, 5, {100, 100, 100, 100}},
    };
    for (const auto& c : cases) {
        auto list = numbered(4);
        list->set_error(c.status, c.index);
        EXPECT_EQ(statuses(list.get()), c.expected);
        list->set_status(0);
        EXPECT_EQ(statuses(list.get()), (std::vector<std::int32_t>{0, 0, 0, 0}));
    }
}
