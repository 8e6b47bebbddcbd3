// IPmcPtrList<T>: an owning list of element pointers with separate
// iterator objects, and its two instances, the PDU list and packet list.
#pragma once

#include <cstdint>

#include "tolvcomm/export.h"
#include "tolvcomm/packet.h"
#include "tolvcomm/pdu.h"

class IPmcPtrListIterator {
public:
    virtual void release() = 0;
    virtual ~IPmcPtrListIterator() = default;
};

// What a list does with the elements it is given and the ones it deletes.
template <class T>
class IPmcPtrListPolicy {
public:
    virtual T* admit(T* element) = 0;  // the pointer to store; null refuses it
    virtual void dispose(T* element) = 0;

protected:
    ~IPmcPtrListPolicy() = default;
};

template <class T>
class IPmcPtrList {
public:
    virtual std::int32_t add_head(T* element) = 0;
    virtual std::int32_t add_tail(T* element) = 0;
    virtual std::int32_t delete_head() = 0;
    virtual std::int32_t delete_tail() = 0;
    virtual std::int32_t delete_all() = 0;
    virtual std::uint32_t get_count() const = 0;
    virtual IPmcPtrListIterator* create_iterator(std::int32_t* result) const = 0;
    virtual void reset_iterator(IPmcPtrListIterator* iterator) const = 0;
    virtual void release_iterator(IPmcPtrListIterator* iterator) const = 0;
    virtual T* get_at(const IPmcPtrListIterator* iterator) const = 0;
    virtual IPmcPtrListIterator* next(IPmcPtrListIterator* iterator) const = 0;
    virtual void detach_at(IPmcPtrListIterator* iterator) = 0;
    virtual IPmcPtrListPolicy<T>* get_policy() = 0;
    virtual void release() = 0;

protected:
    ~IPmcPtrList() = default;
};

using IPmsSnmpPacketList = IPmcPtrList<IPmsSnmpPacket>;
using IPmsPduList = IPmcPtrList<IPmsPdu>;

// Exported by libtolvcomm: a new, empty PDU list that the caller owns and
// ends with release() (which also releases every PDU still in it).
TOLV_API IPmcPtrList<IPmsPdu>* pms_create_pdu_list(std::int32_t* result);
