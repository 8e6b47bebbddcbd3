#include "snmp/varbind.h"

#include "common/allocation.h"
#include "common/result.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
template <class T>
void release_if(T* object) {
    if (object != nullptr) object->release();
}
}  // namespace

CPmsVarBind::~CPmsVarBind() {
    release_if(oid_);
    release_if(value_);
}

IPmsVarBind* CPmsVarBind::clone(std::int32_t* result) const {
    auto* copy = create<CPmsVarBind>();
    if (copy == nullptr) return fail<IPmsVarBind>(result, kErrNoMemory);
    std::int32_t code = kOk;
    if (oid_ != nullptr) copy->oid_ = oid_->clone(&code);
    if (code == kOk && value_ != nullptr) copy->value_ = value_->clone(&code);
    if (code != kOk) {
        copy->release();
        return fail<IPmsVarBind>(result, code);
    }
    copy->status_ = status_;
    set_result(result, kOk);
    return copy;
}

bool CPmsVarBind::equals(const IPmsVarBind* other) const {
    if (other == nullptr) return false;
    const IPmsValue* their_value = other->get_value();
    const bool values_equal = value_ == nullptr ? their_value == nullptr : value_->equals(their_value);
    const IPmsOid* their_oid = other->get_oid();
    const bool oids_equal =
        oid_ == nullptr ? their_oid == nullptr
                        : their_oid != nullptr && oid_->compare(their_oid, nullptr) == pms_oid_relation::kEqual;
    return values_equal && oids_equal && status_ == other->get_status();
}

std::int32_t CPmsVarBind::set(IPmsOid* oid, IPmsValue* value) {
    std::int32_t code = kOk;
    if (value == nullptr) value = pms_create_value(pms_tag::kNull, &code);
    set_oid(oid);
    set_value(value);
    return code;
}

void CPmsVarBind::take(IPmsOid** oid, IPmsValue** value) {
    if (oid != nullptr) {
        *oid = oid_;
    } else {
        release_if(oid_);
    }
    if (value != nullptr) {
        *value = value_;
    } else {
        release_if(value_);
    }
    oid_ = nullptr;
    value_ = nullptr;
}

void CPmsVarBind::set_oid(IPmsOid* oid) {
    if (oid == oid_) return;
    release_if(oid_);
    oid_ = oid;
}

void CPmsVarBind::set_value(IPmsValue* value) {
    if (value == value_) return;
    release_if(value_);
    value_ = value;
}

IPmsVarBind* pms_create_varbind(std::int32_t* result) {
    auto* binding = create<CPmsVarBind>();
    if (binding == nullptr) return fail<IPmsVarBind>(result, kErrNoMemory);
    set_result(result, kOk);
    return binding;
}
