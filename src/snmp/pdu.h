// CPmsPdu: a PDU with its header fields, bindings and trap fields.
#pragma once

#include "common/allocation.h"
#include "tolvcomm/pdu.h"

class CPmsPdu final : public IPmsPdu, public tolv::PooledObject {
public:
    CPmsPdu() = default;
    ~CPmsPdu() override;
    CPmsPdu(const CPmsPdu&) = delete;
    CPmsPdu& operator=(const CPmsPdu&) = delete;

    void release() override { delete this; }
    void clear() override;
    IPmsPdu* clone(std::int32_t* result) const override;
    std::int32_t copy(const IPmsPdu* source) override;
    std::int32_t copy_header(const IPmsPdu* source) override;
    bool equals(const IPmsPdu* other) const override;
    std::int32_t get_type() const override { return type_; }
    void set_type(std::int32_t type) override { type_ = type; }
    IPmsVarBindList* get_bindings() const override { return bindings_; }
    void set_bindings(IPmsVarBindList* bindings) override;
    IPmsVarBindList* take_bindings() override;
    std::int32_t add(IPmsOid* oid, IPmsValue* value) override;
    std::int32_t append(IPmsVarBind* binding) override;
    std::int32_t add_front(IPmsOid* oid, IPmsValue* value) override;
    std::int32_t insert_front(IPmsVarBind* binding) override;
    void pop_front(IPmsOid** oid, IPmsValue** value) override;
    IPmsVarBind* pop_front() override;
    std::int32_t get_request_id() const override { return request_id_; }
    std::int32_t get_error_status() const override { return error_status_; }
    std::int32_t get_error_index() const override { return error_index_; }
    void set_request_id(std::int32_t id) override { request_id_ = id; }
    void set_error_status(std::int32_t status) override { error_status_ = status; }
    void set_error_index(std::int32_t index) override { error_index_ = index; }
    IPmsValue* get_timestamp() const override { return timestamp_; }
    IPmsOid* get_trap_oid() const override { return trap_oid_; }
    IPmsValue* take_timestamp() override;
    IPmsOid* take_trap_oid() override;
    std::int32_t set_timestamp(IPmsValue* timestamp) override;
    std::int32_t set_trap_oid(IPmsValue* trap_oid) override;

private:
    // The binding list, created empty when missing; null when that fails.
    IPmsVarBindList* bindings();

    std::int32_t type_ = pms_pdu_type::kNone;
    IPmsVarBindList* bindings_ = nullptr;
    std::int32_t request_id_ = 0;
    std::int32_t error_status_ = 0;
    std::int32_t error_index_ = 0;
    IPmsValue* timestamp_ = nullptr;
    IPmsOid* trap_oid_ = nullptr;
};

IPmsPdu* pms_create_pdu(std::int32_t* result);
