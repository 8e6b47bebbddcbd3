#include <gtest/gtest.h>

#include "test_objects.h"
#include "snmp/packet.h"
#include "snmp/pdu.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
IPmsSnmpPacket* packet_with_request_id(std::int32_t id) {
    IPmsSnmpPacket* packet = pms_create_packet(nullptr);
    IPmsPdu* pdu = pms_create_pdu(nullptr);
    pdu->set_request_id(id);
    packet->set_pdu(pdu);
    return packet;
}

std::int32_t id_at(const IPmsSnmpPacketList* list, const IPmcPtrListIterator* it) {
    return list->get_at(it)->get_pdu()->get_request_id();
}
}  // namespace

TEST(PtrList, IteratesInOrderAndDetaches) {
    auto list = own(pms_create_packet_list(nullptr));
    for (std::int32_t id = 1; id <= 3; ++id) ASSERT_EQ(list->add_tail(packet_with_request_id(id)), kOk);
    ASSERT_EQ(list->get_count(), 3u);

    auto it = own(list->create_iterator(nullptr));
    EXPECT_EQ(id_at(list.get(), it.get()), 1);
    EXPECT_EQ(id_at(list.get(), list->next(it.get())), 2);

    IPmsSnmpPacket* second = list->get_at(it.get());
    list->detach_at(it.get());  // the caller owns the second packet now
    auto detached = own(second);
    EXPECT_EQ(list->get_count(), 2u);
    EXPECT_EQ(id_at(list.get(), it.get()), 3);
    list->next(it.get());
    EXPECT_EQ(list->get_at(it.get()), nullptr);  // at the end
    list->next(it.get());                        // stays there
    EXPECT_EQ(list->get_at(it.get()), nullptr);
    list->detach_at(it.get());  // nothing at the end
    EXPECT_EQ(list->get_count(), 2u);

    list->reset_iterator(it.get());
    EXPECT_EQ(id_at(list.get(), it.get()), 1);
    EXPECT_EQ(detached->get_pdu()->get_request_id(), 2);
}

TEST(PtrList, HeadTailAndDeletes) {
    auto list = own(pms_create_pdu_list(nullptr));
    EXPECT_EQ(list->add_head(nullptr), kErrBadArgument);
    list->delete_head();  // empty: nothing happens
    list->delete_tail();
    auto* first = pms_create_pdu(nullptr);
    auto* second = pms_create_pdu(nullptr);
    first->set_request_id(1);
    second->set_request_id(2);
    list->add_tail(second);
    list->add_head(first);
    auto it = own(list->create_iterator(nullptr));
    EXPECT_EQ(list->get_at(it.get())->get_request_id(), 1);
    list->delete_head();  // releases the first PDU
    list->reset_iterator(it.get());
    EXPECT_EQ(list->get_at(it.get())->get_request_id(), 2);
    list->delete_tail();
    EXPECT_EQ(list->get_count(), 0u);
    list->add_tail(pms_create_pdu(nullptr));
    list->add_tail(pms_create_pdu(nullptr));
    EXPECT_EQ(list->delete_all(), kOk);
    EXPECT_EQ(list->get_count(), 0u);
    EXPECT_NE(list->get_policy(), nullptr);
}

TEST(PtrList, IgnoresIteratorsOfOtherLists) {
    auto a = own(pms_create_pdu_list(nullptr));
    auto b = own(pms_create_pdu_list(nullptr));
    a->add_tail(pms_create_pdu(nullptr));
    auto it = own(a->create_iterator(nullptr));
    EXPECT_EQ(b->get_at(it.get()), nullptr);
    b->detach_at(it.get());
    EXPECT_EQ(a->get_count(), 1u);
    EXPECT_EQ(a->get_at(nullptr), nullptr);
    EXPECT_EQ(a->next(nullptr), nullptr);
    a->reset_iterator(nullptr);
    a->release_iterator(nullptr);
    a->release_iterator(it.release());
}

TEST(PtrList, EmptyListIteratorIsAtTheEnd) {
    auto list = own(pms_create_pdu_list(nullptr));  // a null result pointer is allowed
    std::int32_t result = 1;
    auto it = own(list->create_iterator(&result));
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(list->get_at(it.get()), nullptr);
}
