#include <gtest/gtest.h>

#include "test_objects.h"
#include "snmp/pdu.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
IPmsOid* oid(const char* text) { return pms_create_oid_from_text(text, nullptr); }
IPmsValue* ticks(std::uint32_t value) {
    IPmsValue* v = pms_create_value(pms_tag::kTimeTicks, nullptr);
    v->set_uint32(value);
    return v;
}
IPmsValue* oid_value(const char* text) { return pms_create_value_from_text(text, pms_tag::kObjectIdentifier, nullptr); }

Owned<IPmsPdu> trap(std::uint32_t time, const char* trap_oid) {
    auto pdu = own(pms_create_pdu(nullptr));
    pdu->set_type(pms_pdu_type::kTrap);
    pdu->set_timestamp(ticks(time));
    pdu->set_trap_oid(oid_value(trap_oid));
    return pdu;
}
}  // namespace

TEST(Pdu, NewPduIsEmpty) {
    auto pdu = own(pms_create_pdu(nullptr));
    auto other = own(pms_create_pdu(nullptr));
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kNone);
    EXPECT_EQ(pdu->get_bindings(), nullptr);
    EXPECT_EQ(pdu->get_request_id(), 0);
    EXPECT_EQ(pdu->get_error_status(), 0);
    EXPECT_EQ(pdu->get_error_index(), 0);
    EXPECT_EQ(pdu->get_timestamp(), nullptr);
    EXPECT_EQ(pdu->get_trap_oid(), nullptr);
    EXPECT_FALSE(pdu->equals(other.get()));  // type -1 never equals
    EXPECT_EQ(pdu->pop_front(), nullptr);
}

TEST(Pdu, AddersCreateTheList) {
    auto pdu = own(pms_create_pdu(nullptr));
    EXPECT_EQ(pdu->add(oid("1.3"), nullptr), kOk);
    ASSERT_NE(pdu->get_bindings(), nullptr);
    EXPECT_EQ(pdu->get_bindings()->get(0)->get_value()->get_type(), pms_tag::kNull);
    EXPECT_EQ(pdu->add_front(oid("1.2"), nullptr), kOk);
    EXPECT_EQ(pdu->append(pms_create_varbind(nullptr)), kOk);
    EXPECT_EQ(pdu->insert_front(pms_create_varbind(nullptr)), kOk);
    EXPECT_EQ(pdu->get_bindings()->get_count(), 4u);
    auto list = own(pdu->take_bindings());
    EXPECT_EQ(pdu->get_bindings(), nullptr);
    // A failing add creates the list all the same and leaves it there.
    EXPECT_EQ(pdu->add(nullptr, nullptr), kErrBadArgument);
    EXPECT_NE(pdu->get_bindings(), nullptr);
}

TEST(Pdu, TrapFieldsMustHaveTheirType) {
    auto pdu = trap(5, "1.3.6.1.6.3.1.1.5.0.3");
    auto counter = own(pms_create_value(pms_tag::kCounter32, nullptr));
    EXPECT_EQ(pdu->set_timestamp(counter.get()), kErrBadArgument);
    EXPECT_EQ(pdu->get_timestamp()->get_uint32(nullptr), 5u);
    auto octets = own(pms_create_value(pms_tag::kOctetString, nullptr));
    EXPECT_EQ(pdu->set_trap_oid(octets.get()), kErrBadArgument);
    EXPECT_EQ(pdu->set_trap_oid(nullptr), kErrBadArgument);
    EXPECT_EQ(pdu->get_trap_oid()->as_value()->get_count(), 11u);
    auto taken = own(pdu->take_trap_oid());
    EXPECT_EQ(pdu->get_trap_oid(), nullptr);
    auto time = own(pdu->take_timestamp());
    EXPECT_EQ(pdu->get_timestamp(), nullptr);
}

TEST(Pdu, ClearKeepsOnlyTheRequestId) {
    auto pdu = trap(5, "1.3.6");
    pdu->add(oid("1.3"), nullptr);
    pdu->set_request_id(77);
    pdu->set_error_index(3);
    pdu->clear();
    EXPECT_EQ(pdu->get_bindings(), nullptr);
    EXPECT_EQ(pdu->get_type(), pms_pdu_type::kNone);
    EXPECT_EQ(pdu->get_error_status(), -1);
    EXPECT_EQ(pdu->get_error_index(), 0);
    EXPECT_EQ(pdu->get_request_id(), 77);
    EXPECT_EQ(pdu->get_timestamp(), nullptr);
}

TEST(Pdu, CopyHeaderKeepsOwnTrapFieldsWhenTheSourceHasNone) {
    auto source = own(pms_create_pdu(nullptr));
    source->set_type(pms_pdu_type::kResponse);
    source->set_request_id(9);
    source->set_error_status(2);
    source->set_error_index(1);
    auto target = trap(5, "1.3.6");
    EXPECT_EQ(target->copy_header(source.get()), kOk);
    EXPECT_EQ(target->get_type(), pms_pdu_type::kResponse);
    EXPECT_EQ(target->get_request_id(), 9);
    EXPECT_EQ(target->get_error_status(), 2);
    EXPECT_EQ(target->get_error_index(), 1);
    ASSERT_NE(target->get_timestamp(), nullptr);
    EXPECT_EQ(target->get_timestamp()->get_uint32(nullptr), 5u);
    EXPECT_EQ(target->copy_header(nullptr), kErrBadArgument);
    EXPECT_EQ(target->copy(nullptr), kErrBadArgument);
}

TEST(Pdu, EqualityByType) {
    auto a = own(pms_create_pdu(nullptr));
    a->set_type(pms_pdu_type::kGetRequest);
    a->set_request_id(4);
    a->add(oid("1.3"), nullptr);
    auto b = own(a->clone(nullptr));
    EXPECT_TRUE(a->equals(b.get()));
    b->set_error_index(1);
    EXPECT_FALSE(a->equals(b.get()));
    b->copy(a.get());
    EXPECT_TRUE(a->equals(b.get()));
    b->set_bindings(nullptr);
    EXPECT_FALSE(a->equals(b.get()));
    EXPECT_FALSE(b->equals(a.get()));
    a->set_bindings(nullptr);
    EXPECT_TRUE(a->equals(b.get()));
    b->set_type(pms_pdu_type::kResponse);
    EXPECT_FALSE(a->equals(b.get()));

    // Traps compare time-stamp and trap OID, not the request fields.
    auto t1 = trap(5, "1.3.6");
    auto t2 = trap(5, "1.3.6");
    t2->set_request_id(99);
    EXPECT_TRUE(t1->equals(t2.get()));
    auto t3 = trap(6, "1.3.6");
    EXPECT_FALSE(t1->equals(t3.get()));
    auto t4 = trap(5, "1.3.7");
    EXPECT_FALSE(t1->equals(t4.get()));
    auto bare = own(pms_create_pdu(nullptr));
    bare->set_type(pms_pdu_type::kTrap);
    EXPECT_FALSE(bare->equals(bare.get()));  // without time-stamp and trap OID: unequal
}

TEST(Pdu, CopyReplacesBindingsAndTrapFields) {
    auto source = trap(5, "1.3.6");
    source->add(oid("1.3"), nullptr);
    auto copy = own(pms_create_pdu(nullptr));
    copy->add(oid("9.9"), nullptr);
    copy->add(oid("9.8"), nullptr);
    EXPECT_EQ(copy->copy(source.get()), kOk);
    EXPECT_TRUE(copy->equals(source.get()));
    EXPECT_EQ(copy->get_bindings()->get_count(), 1u);
    EXPECT_NE(copy->get_trap_oid(), source->get_trap_oid());
}
