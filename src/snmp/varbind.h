// CPmsVarBind: one OID and one value, both owned, and a status that the
// decoder fills from a response's error fields.
#pragma once

#include "common/allocation.h"
#include "tolvcomm/varbind.h"

class CPmsVarBind final : public IPmsVarBind, public tolv::PooledObject {
public:
    CPmsVarBind() = default;
    ~CPmsVarBind() override;
    CPmsVarBind(const CPmsVarBind&) = delete;
    CPmsVarBind& operator=(const CPmsVarBind&) = delete;

    void release() override { delete this; }
    IPmsVarBind* clone(std::int32_t* result) const override;
    bool equals(const IPmsVarBind* other) const override;
    std::int32_t set(IPmsOid* oid, IPmsValue* value) override;
    std::int32_t replace(IPmsOid* oid, IPmsValue* value) override { return set(oid, value); }
    void take(IPmsOid** oid, IPmsValue** value) override;
    void set_oid(IPmsOid* oid) override;
    void set_value(IPmsValue* value) override;
    IPmsOid* get_oid() const override { return oid_; }
    IPmsValue* get_value() const override { return value_; }
    std::int32_t get_status() const override { return status_; }
    void set_status(std::int32_t status) override { status_ = status; }

private:
    IPmsOid* oid_ = nullptr;
    IPmsValue* value_ = nullptr;
    std::int32_t status_ = 0;  // no response has set it yet
};
