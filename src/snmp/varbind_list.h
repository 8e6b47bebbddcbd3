// CPmsVarBindList: an ordered array of bindings that it owns.
#pragma once

#include "common/allocation.h"
#include "tolvcomm/varbind.h"

class CPmsVarBindList final : public IPmsVarBindList, public tolv::PooledObject {
public:
    CPmsVarBindList() = default;
    ~CPmsVarBindList() override;
    CPmsVarBindList(const CPmsVarBindList&) = delete;
    CPmsVarBindList& operator=(const CPmsVarBindList&) = delete;

    void release() override { delete this; }
    IPmsVarBindList* clone(std::int32_t* result) const override;
    bool equals(const IPmsVarBindList* other) const override;
    std::uint32_t get_count() const override { return count_; }
    std::int32_t add(IPmsOid* oid, IPmsValue* value) override;
    std::int32_t append(IPmsVarBind* binding) override;
    std::int32_t add_front(IPmsOid* oid, IPmsValue* value) override;
    std::int32_t insert_front(IPmsVarBind* binding) override;
    std::int32_t remove(std::uint32_t index, IPmsVarBind** out) override;
    void pop_front(IPmsOid** oid, IPmsValue** value) override;
    IPmsVarBind* pop_front() override;
    IPmsVarBind* get(std::uint32_t index) const override;
    IPmsVarBindList* clone_range(std::uint32_t start, std::uint32_t count, std::int32_t* result) const override;
    IPmsVarBindList* split_front(std::uint32_t count, std::int32_t* result) override;
    void set_error(std::int32_t status, std::uint32_t index) override;
    void set_status(std::int32_t status) override;

private:
    // A new list with clones of the bindings [start, end).
    IPmsVarBindList* copy_of(std::uint32_t start, std::uint32_t end, std::int32_t* result) const;
    std::int32_t insert_at(std::uint32_t index, IPmsVarBind* binding);
    std::int32_t add_at(std::uint32_t index, IPmsOid* oid, IPmsValue* value);
    IPmsVarBind* unlink(std::uint32_t index);

    // Most PDUs have a few bindings: room for them comes with the list.
    static constexpr std::uint32_t kInlineItems = 8;
    IPmsVarBind* inline_items_[kInlineItems];
    IPmsVarBind** items_ = inline_items_;
    std::uint32_t count_ = 0;
    std::uint32_t capacity_ = kInlineItems;
};
