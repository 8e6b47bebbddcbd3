#include "snmp/pdu.h"

#include "common/allocation.h"
#include "common/result.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
template <class T>
void release_and_forget(T*& object) {
    if (object != nullptr) object->release();
    object = nullptr;
}

bool same_value(const IPmsValue* a, const IPmsValue* b) { return a != nullptr && a->equals(b); }

bool same_oid(const IPmsOid* a, const IPmsOid* b) {
    return a != nullptr && b != nullptr && a->compare(b, nullptr) == pms_oid_relation::kEqual;
}
}  // namespace

CPmsPdu::~CPmsPdu() {
    release_and_forget(bindings_);
    release_and_forget(timestamp_);
    release_and_forget(trap_oid_);
}

void CPmsPdu::clear() {
    release_and_forget(bindings_);
    release_and_forget(timestamp_);
    release_and_forget(trap_oid_);
    type_ = pms_pdu_type::kNone;
    error_status_ = -1;
    error_index_ = 0;
}

IPmsPdu* CPmsPdu::clone(std::int32_t* result) const {
    auto* copy = create<CPmsPdu>();
    if (copy == nullptr) return fail<IPmsPdu>(result, kErrNoMemory);
    if (const std::int32_t code = copy->copy(this); code != kOk) {
        copy->release();
        return fail<IPmsPdu>(result, code);
    }
    set_result(result, kOk);
    return copy;
}

std::int32_t CPmsPdu::copy(const IPmsPdu* source) {
    if (source == nullptr) return kErrBadArgument;
    if (source == this) return kOk;
    if (const std::int32_t code = copy_header(source); code != kOk) return code;
    IPmsVarBindList* copied = nullptr;
    if (const IPmsVarBindList* theirs = source->get_bindings(); theirs != nullptr) {
        std::int32_t code = kOk;
        copied = theirs->clone(&code);
        if (copied == nullptr) return code;
    }
    set_bindings(copied);
    return kOk;
}

std::int32_t CPmsPdu::copy_header(const IPmsPdu* source) {
    if (source == nullptr) return kErrBadArgument;
    if (source == this) return kOk;
    type_ = source->get_type();
    request_id_ = source->get_request_id();
    error_status_ = source->get_error_status();
    error_index_ = source->get_error_index();
    // Clone both trap fields before replacing either: a failure changes nothing more.
    std::int32_t code = kOk;
    IPmsValue* timestamp = nullptr;
    IPmsOid* trap_oid = nullptr;
    if (source->get_timestamp() != nullptr) {
        timestamp = source->get_timestamp()->clone(&code);
        if (timestamp == nullptr) return code;
    }
    if (source->get_trap_oid() != nullptr) {
        trap_oid = source->get_trap_oid()->clone(&code);
        if (trap_oid == nullptr) {
            if (timestamp != nullptr) timestamp->release();
            return code;
        }
    }
    if (timestamp != nullptr) {
        release_and_forget(timestamp_);
        timestamp_ = timestamp;
    }
    if (trap_oid != nullptr) {
        release_and_forget(trap_oid_);
        trap_oid_ = trap_oid;
    }
    return kOk;
}

bool CPmsPdu::equals(const IPmsPdu* other) const {
    if (other == nullptr || type_ == pms_pdu_type::kNone || type_ != other->get_type()) return false;
    if (type_ == pms_pdu_type::kTrap) {
        // Trap PDUs compare their time-stamp and trap OID; an absent one is unequal.
        if (!same_value(timestamp_, other->get_timestamp()) || !same_oid(trap_oid_, other->get_trap_oid())) {
            return false;
        }
    } else if (request_id_ != other->get_request_id() || error_index_ != other->get_error_index() ||
               error_status_ != other->get_error_status()) {
        return false;
    }
    const IPmsVarBindList* theirs = other->get_bindings();
    if (bindings_ == nullptr || theirs == nullptr) return bindings_ == nullptr && theirs == nullptr;
    return bindings_->equals(theirs);
}

void CPmsPdu::set_bindings(IPmsVarBindList* bindings) {
    if (bindings == bindings_) return;
    release_and_forget(bindings_);
    bindings_ = bindings;
}

IPmsVarBindList* CPmsPdu::take_bindings() {
    IPmsVarBindList* bindings = bindings_;
    bindings_ = nullptr;
    return bindings;
}

IPmsVarBindList* CPmsPdu::bindings() {
    if (bindings_ == nullptr) bindings_ = pms_create_varbind_list(nullptr);
    return bindings_;
}

std::int32_t CPmsPdu::add(IPmsOid* oid, IPmsValue* value) {
    IPmsVarBindList* list = bindings();
    return list ? list->add(oid, value) : kErrNoMemory;
}

std::int32_t CPmsPdu::append(IPmsVarBind* binding) {
    IPmsVarBindList* list = bindings();
    return list ? list->append(binding) : kErrNoMemory;
}

std::int32_t CPmsPdu::add_front(IPmsOid* oid, IPmsValue* value) {
    IPmsVarBindList* list = bindings();
    return list ? list->add_front(oid, value) : kErrNoMemory;
}

std::int32_t CPmsPdu::insert_front(IPmsVarBind* binding) {
    IPmsVarBindList* list = bindings();
    return list ? list->insert_front(binding) : kErrNoMemory;
}

void CPmsPdu::pop_front(IPmsOid** oid, IPmsValue** value) {
    if (bindings_ != nullptr) bindings_->pop_front(oid, value);
}

IPmsVarBind* CPmsPdu::pop_front() { return bindings_ ? bindings_->pop_front() : nullptr; }

IPmsValue* CPmsPdu::take_timestamp() {
    IPmsValue* timestamp = timestamp_;
    timestamp_ = nullptr;
    return timestamp;
}

IPmsOid* CPmsPdu::take_trap_oid() {
    IPmsOid* trap_oid = trap_oid_;
    trap_oid_ = nullptr;
    return trap_oid;
}

std::int32_t CPmsPdu::set_timestamp(IPmsValue* timestamp) {
    if (timestamp == nullptr || timestamp->get_type() != pms_tag::kTimeTicks) return kErrBadArgument;
    if (timestamp != timestamp_) {
        release_and_forget(timestamp_);
        timestamp_ = timestamp;
    }
    return kOk;
}

std::int32_t CPmsPdu::set_trap_oid(IPmsValue* trap_oid) {
    if (trap_oid == nullptr || trap_oid->get_type() != pms_tag::kObjectIdentifier) return kErrBadArgument;
    IPmsOid* oid = trap_oid->get_oid();
    if (oid == nullptr) return kErrBadArgument;
    if (oid != trap_oid_) {
        release_and_forget(trap_oid_);
        trap_oid_ = oid;
    }
    return kOk;
}

IPmsPdu* pms_create_pdu(std::int32_t* result) {
    auto* pdu = create<CPmsPdu>();
    if (pdu == nullptr) return fail<IPmsPdu>(result, kErrNoMemory);
    set_result(result, kOk);
    return pdu;
}
