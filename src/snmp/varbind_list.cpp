#include "snmp/varbind_list.h"

#include <cstring>

#include "common/allocation.h"
#include "common/result.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

CPmsVarBindList::~CPmsVarBindList() {
    for (std::uint32_t i = 0; i < count_; ++i) items_[i]->release();
    if (items_ != inline_items_) deallocate(items_);
}

IPmsVarBindList* CPmsVarBindList::clone(std::int32_t* result) const { return copy_of(0, count_, result); }

bool CPmsVarBindList::equals(const IPmsVarBindList* other) const {
    if (other == nullptr || other->get_count() != count_) return false;
    for (std::uint32_t i = 0; i < count_; ++i) {
        if (!items_[i]->equals(other->get(i))) return false;
    }
    return true;
}

std::int32_t CPmsVarBindList::insert_at(std::uint32_t index, IPmsVarBind* binding) {
    if (binding == nullptr) return kErrBadArgument;
    if (count_ == capacity_) {
        const std::uint32_t capacity = capacity_ * 2;
        const bool on_heap = items_ != inline_items_;
        auto* grown = static_cast<IPmsVarBind**>(on_heap ? reallocate(items_, capacity * sizeof(IPmsVarBind*))
                                                         : allocate(capacity * sizeof(IPmsVarBind*)));
        if (grown == nullptr) return kErrNoMemory;
        if (!on_heap) std::memcpy(grown, inline_items_, count_ * sizeof(IPmsVarBind*));
        items_ = grown;
        capacity_ = capacity;
    }
    std::memmove(items_ + index + 1, items_ + index, (count_ - index) * sizeof(IPmsVarBind*));
    items_[index] = binding;
    ++count_;
    return kOk;
}

std::int32_t CPmsVarBindList::add_at(std::uint32_t index, IPmsOid* oid, IPmsValue* value) {
    if (oid == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    IPmsVarBind* binding = pms_create_varbind(&code);
    if (binding == nullptr) return code;
    code = binding->set(oid, value);
    if (code == kOk) code = insert_at(index, binding);
    if (code != kOk) {
        // On failure the caller keeps what it passed; only a NULL value made
        // here is ours to release.
        IPmsOid* taken_oid = nullptr;
        IPmsValue* taken_value = nullptr;
        binding->take(&taken_oid, &taken_value);
        if (taken_value != nullptr && taken_value != value) taken_value->release();
        binding->release();
    }
    return code;
}

IPmsVarBind* CPmsVarBindList::unlink(std::uint32_t index) {
    IPmsVarBind* binding = items_[index];
    std::memmove(items_ + index, items_ + index + 1, (count_ - index - 1) * sizeof(IPmsVarBind*));
    --count_;
    return binding;
}

std::int32_t CPmsVarBindList::add(IPmsOid* oid, IPmsValue* value) { return add_at(count_, oid, value); }
std::int32_t CPmsVarBindList::append(IPmsVarBind* binding) { return insert_at(count_, binding); }
std::int32_t CPmsVarBindList::add_front(IPmsOid* oid, IPmsValue* value) { return add_at(0, oid, value); }
std::int32_t CPmsVarBindList::insert_front(IPmsVarBind* binding) { return insert_at(0, binding); }

std::int32_t CPmsVarBindList::remove(std::uint32_t index, IPmsVarBind** out) {
    if (index >= count_) return kErrBadArgument;
    IPmsVarBind* binding = unlink(index);
    if (out != nullptr) {
        *out = binding;
    } else {
        binding->release();
    }
    return kOk;
}

void CPmsVarBindList::pop_front(IPmsOid** oid, IPmsValue** value) {
    if (count_ == 0) return;
    IPmsVarBind* binding = unlink(0);
    binding->take(oid, value);
    binding->release();
}

IPmsVarBind* CPmsVarBindList::pop_front() { return count_ == 0 ? nullptr : unlink(0); }

IPmsVarBind* CPmsVarBindList::get(std::uint32_t index) const { return index < count_ ? items_[index] : nullptr; }

IPmsVarBindList* CPmsVarBindList::clone_range(std::uint32_t start, std::uint32_t count, std::int32_t* result) const {
    if (start >= count_) return fail<IPmsVarBindList>(result, kErrBadArgument);
    return copy_of(start, count > count_ - start ? count_ : start + count, result);
}

IPmsVarBindList* CPmsVarBindList::copy_of(std::uint32_t start, std::uint32_t end, std::int32_t* result) const {
    auto* copy = create<CPmsVarBindList>();
    if (copy == nullptr) return fail<IPmsVarBindList>(result, kErrNoMemory);
    for (std::uint32_t i = start; i < end; ++i) {
        std::int32_t code = kOk;
        IPmsVarBind* binding = items_[i]->clone(&code);
        if (binding != nullptr) {
            code = copy->append(binding);
            if (code != kOk) binding->release();
        }
        if (code != kOk) {
            copy->release();
            return fail<IPmsVarBindList>(result, code);
        }
    }
    set_result(result, kOk);
    return copy;
}

IPmsVarBindList* CPmsVarBindList::split_front(std::uint32_t count, std::int32_t* result) {
    auto* front = create<CPmsVarBindList>();
    if (front == nullptr) return fail<IPmsVarBindList>(result, kErrNoMemory);
    const std::uint32_t moved = count < count_ ? count : count_;
    if (moved != 0) {
        if (moved > front->capacity_) {
            front->items_ = static_cast<IPmsVarBind**>(allocate(moved * sizeof(IPmsVarBind*)));
            if (front->items_ == nullptr) {
                front->items_ = front->inline_items_;
                front->release();
                return fail<IPmsVarBindList>(result, kErrNoMemory);
            }
            front->capacity_ = moved;
        }
        std::memcpy(front->items_, items_, moved * sizeof(IPmsVarBind*));
        front->count_ = moved;
        std::memmove(items_, items_ + moved, (count_ - moved) * sizeof(IPmsVarBind*));
        count_ -= moved;
    }
    set_result(result, kOk);
    return front;
}

void CPmsVarBindList::set_error(std::int32_t status, std::uint32_t index) {
    for (std::uint32_t i = 0; i < count_; ++i) {
        items_[i]->set_status(i + 1 == index ? status : kPmsStatusOtherInError);
    }
}

void CPmsVarBindList::set_status(std::int32_t status) {
    for (std::uint32_t i = 0; i < count_; ++i) items_[i]->set_status(status);
}

IPmsVarBindList* pms_create_varbind_list(std::int32_t* result) {
    auto* list = create<CPmsVarBindList>();
    if (list == nullptr) return fail<IPmsVarBindList>(result, kErrNoMemory);
    set_result(result, kOk);
    return list;
}
