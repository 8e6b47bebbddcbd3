#include "snmp/target.h"

#include <cstring>

#include "common/allocation.h"
#include "common/byte_string.h"
#include "common/result.h"
#include "snmp/translator.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

// Common contents -------------------------------------------------------------

CPmsTargetBase::~CPmsTargetBase() {
    if (address_ != nullptr) address_->release();
}

std::int32_t CPmsTargetBase::query_interface(std::int32_t id, void** out) {
    void* part = nullptr;
    if (id == pms_target_id::kTarget) {
        part = static_cast<IPmsSnmpTarget*>(this);
    } else if (id == pms_target_id::kCommonPart) {
        part = this;
    } else {
        part = kind_part(id);
    }
    if (out != nullptr) *out = part;
    return part != nullptr ? kOk : kErrBadArgument;
}

std::int32_t CPmsTargetBase::set_address(const IPmcNetworkAddress* address) {
    IPmcNetworkAddress* copy = nullptr;
    if (address != nullptr) {
        if (const std::int32_t code = address->clone(&copy); code != kOk) return code;
    }
    if (address_ != nullptr) address_->release();
    address_ = copy;
    return kOk;
}

std::int32_t CPmsTargetBase::copy_common(const IPmsSnmpTarget* source) {
    if (const std::int32_t code = set_address(source->get_address()); code != kOk) return code;
    version_ = source->get_version();
    timeout_ = source->get_timeout();
    retries_ = source->get_retries();
    max_size_ = source->get_max_size();
    local_port_ = source->get_port();
    return kOk;
}

namespace {
// The same kind's part of another target, or null.
template <class Kind>
const Kind* kind_of(const IPmsSnmpTarget* target, std::int32_t id) {
    void* part = nullptr;
    if (target == nullptr) return nullptr;
    const_cast<IPmsSnmpTarget*>(target)->query_interface(id, &part);
    return static_cast<const Kind*>(part);
}

// A new, empty target of the kind; null when it cannot be fully made.
template <class Target>
Target* new_target();

template <>
CPmsCommunityTarget* new_target<CPmsCommunityTarget>() {
    return create<CPmsCommunityTarget>();
}

template <>
CPmsUsmTarget* new_target<CPmsUsmTarget>() {
    auto* target = create<CPmsUsmTarget>();
    if (target != nullptr && !target->is_complete()) {
        target->release();
        return nullptr;
    }
    return target;
}

template <class Target>
IPmsSnmpTarget* clone_target(const Target* source, std::int32_t* result) {
    auto* copy = new_target<Target>();
    if (copy == nullptr) return fail<IPmsSnmpTarget>(result, kErrNoMemory);
    if (const std::int32_t code = copy->copy(source); code != kOk) {
        copy->release();
        return fail<IPmsSnmpTarget>(result, code);
    }
    set_result(result, kOk);
    return copy;
}
}  // namespace

// Community target ------------------------------------------------------------

std::int32_t CPmsCommunityTarget::accept(IPmsTranslator* translator) {
    return translator ? translator->header(this) : kErrBadArgument;
}

void* CPmsCommunityTarget::kind_part(std::int32_t id) {
    if (id == pms_target_id::kCommunity || id == pms_target_id::kCommunityAlias) return static_cast<IPmsCommunity*>(this);
    return nullptr;
}

IPmsSnmpTarget* CPmsCommunityTarget::clone(std::int32_t* result) const { return clone_target(this, result); }

std::int32_t CPmsCommunityTarget::copy(const IPmsSnmpTarget* source) {
    if (source == nullptr) return kErrBadArgument;
    if (source == static_cast<const IPmsSnmpTarget*>(this)) return kOk;
    if (const std::int32_t code = copy_common(source); code != kOk) return code;
    const auto* theirs = kind_of<IPmsCommunity>(source, pms_target_id::kCommunity);
    if (theirs == nullptr) return kErrBadArgument;
    return set_community(theirs->get_community());
}

bool CPmsCommunityTarget::equals(const IPmsSnmpTarget* other) const {
    const auto* theirs = kind_of<IPmsCommunity>(other, pms_target_id::kCommunity);
    if (theirs == nullptr) return false;
    const char* mine = get_community();
    const char* their_text = theirs->get_community();
    if (mine == nullptr || their_text == nullptr) return mine == their_text;
    return std::strcmp(mine, their_text) == 0;
}

std::int32_t CPmsCommunityTarget::set_community(const char* community) {
    if (community == get_community() && community != nullptr) return kOk;
    if (const std::int32_t code = community_.set(community); code != kOk) return code;
    has_community_ = community != nullptr;
    return kOk;
}

// USM target ------------------------------------------------------------------

CPmsUsmTarget::CPmsUsmTarget() : engine_id_(pmc_create_byte_string(nullptr)) {}

CPmsUsmTarget::~CPmsUsmTarget() {
    if (engine_id_ != nullptr) engine_id_->release();
}

std::int32_t CPmsUsmTarget::accept(IPmsTranslator* translator) {
    return translator ? translator->v3_header(this) : kErrBadArgument;
}

void* CPmsUsmTarget::kind_part(std::int32_t id) {
    if (id == pms_target_id::kUsm || id == pms_target_id::kUsmAlias) return static_cast<IPmsUsm*>(this);
    return nullptr;
}

IPmsSnmpTarget* CPmsUsmTarget::clone(std::int32_t* result) const { return clone_target(this, result); }

std::int32_t CPmsUsmTarget::copy(const IPmsSnmpTarget* source) {
    if (source == nullptr) return kErrBadArgument;
    if (source == static_cast<const IPmsSnmpTarget*>(this)) return kOk;
    if (const std::int32_t code = copy_common(source); code != kOk) return code;
    const auto* theirs = kind_of<IPmsUsm>(source, pms_target_id::kUsm);
    if (theirs == nullptr) return kErrBadArgument;
    std::int32_t code = set_security_name(theirs->get_security_name());
    if (code == kOk) code = set_security_level(theirs->get_security_level());
    if (code == kOk) code = set_auth_protocol(theirs->get_auth_protocol());
    if (code == kOk) code = set_priv_protocol(theirs->get_priv_protocol());
    if (code == kOk) code = set_auth_passphrase(theirs->get_auth_passphrase());
    if (code == kOk) code = set_priv_passphrase(theirs->get_priv_passphrase());
    if (code == kOk) code = set_context_name(theirs->get_context_name());
    if (code == kOk) {
        const IPmcByteString* engine = theirs->get_engine_id();
        code = engine ? set_engine_id(engine->get_data(), engine->get_length()) : set_engine_id(nullptr, 0);
    }
    return code;
}

bool CPmsUsmTarget::equals(const IPmsSnmpTarget* other) const {
    const auto* theirs = kind_of<IPmsUsm>(other, pms_target_id::kUsm);
    if (theirs == nullptr) return false;
    auto same = [](const char* a, const char* b) { return std::strcmp(a ? a : "", b ? b : "") == 0; };
    return same(get_security_name(), theirs->get_security_name()) &&
           security_level_ == theirs->get_security_level() && auth_protocol_ == theirs->get_auth_protocol() &&
           priv_protocol_ == theirs->get_priv_protocol() &&
           same(get_auth_passphrase(), theirs->get_auth_passphrase()) &&
           same(get_priv_passphrase(), theirs->get_priv_passphrase()) &&
           same(get_context_name(), theirs->get_context_name());
}

std::int32_t CPmsUsmTarget::set_security_name(const char* name) {
    if (name != nullptr && std::strlen(name) > pms_usm::kMaxSecurityNameLength) return kErrBadArgument;
    return security_name_.set(name);
}

std::int32_t CPmsUsmTarget::set_security_level(std::int32_t level) {
    security_level_ = level;
    return kOk;
}

std::int32_t CPmsUsmTarget::set_auth_protocol(std::int32_t protocol) {
    auth_protocol_ = protocol;
    return kOk;
}

std::int32_t CPmsUsmTarget::set_priv_protocol(std::int32_t protocol) {
    priv_protocol_ = protocol;
    return kOk;
}

std::int32_t CPmsUsmTarget::set_engine_id(const void* data, std::uint32_t length) {
    return engine_id_->set(data != nullptr && length != 0 ? data : nullptr, data != nullptr ? length : 0);
}

// Factories -------------------------------------------------------------------

IPmsCommunity* pms_create_community_target(std::int32_t* result) {
    auto* target = new_target<CPmsCommunityTarget>();
    if (target == nullptr) return fail<IPmsCommunity>(result, kErrNoMemory);
    set_result(result, kOk);
    return target;
}

IPmsUsm* pms_create_usm_target(std::int32_t* result) {
    auto* target = new_target<CPmsUsmTarget>();
    if (target == nullptr) return fail<IPmsUsm>(result, kErrNoMemory);
    set_result(result, kOk);
    return target;
}

IPmsSnmpTarget* pms_create_target(std::int32_t model, std::int32_t* result) {
    if (model != pms_security_model::kCommunity) return fail<IPmsSnmpTarget>(result, kErrBadArgument);
    return pms_create_community_target(result);
}
