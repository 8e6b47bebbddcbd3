#include "client/get_data.h"

#include <cstring>

#include "common/result.h"
#include "session/session_dispatcher.h"
#include "snmp/pdu.h"
#include "snmp/target.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"
#include "transport/address_resolver.h"
#include "transport/network_address.h"

using namespace tolv;
using P = IPmcNetworkAddress;

namespace {
constexpr std::uint32_t kIpMaxMessage = 1400;
constexpr std::uint32_t kIpxMaxMessage = 546;
constexpr std::int32_t kErrorStatusNoSuchName = 2;
constexpr std::int32_t kErrorStatusNoAccess = 6;

template <class T>
void release_and_forget(T*& object) {
    if (object != nullptr) object->release();
    object = nullptr;
}

// Numeric order of two OID texts: negative, 0 or positive. Arcs are
// compared as numbers: a longer run of digits is the larger number (leading
// zeros aside, which valid OIDs do not have).
int numeric_order(const char* a, std::size_t a_length, const char* b, std::size_t b_length) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a_length && j < b_length) {
        std::size_t a_end = i;
        std::size_t b_end = j;
        while (a_end < a_length && a[a_end] != '.') ++a_end;
        while (b_end < b_length && b[b_end] != '.') ++b_end;
        const std::size_t a_digits = a_end - i;
        const std::size_t b_digits = b_end - j;
        if (a_digits != b_digits) return a_digits < b_digits ? -1 : 1;
        if (const int order = std::memcmp(a + i, b + j, a_digits); order != 0) return order;
        i = a_end + 1;
        j = b_end + 1;
    }
    return (i < a_length) - (j < b_length);
}

std::size_t length_of(const IPmsOid* oid, const char** text) {
    std::uint32_t length = 0;
    *text = reinterpret_cast<const char*>(oid->as_value()->get_bytes(&length, nullptr));
    return *text ? length : 0;
}

bool is_exception(const IPmsValue* value) {
    const std::int32_t type = value ? value->get_type() : 0;
    return type == pms_tag::kNoSuchObject || type == pms_tag::kNoSuchInstance || type == pms_tag::kEndOfMibView;
}
}  // namespace

CPmcGetData::CPmcGetData() { std::strcpy(community_, "public"); }

CPmcGetData::~CPmcGetData() {
    release_and_forget(address_);
    release_and_forget(pdu_);
    release_and_forget(community_target_);
    release_and_forget(usm_target_);
}

std::int32_t CPmcGetData::set_community(const char* community) {
    if (community == nullptr) community = "";
    // At most 255 characters are kept; a longer text is cut, never overrun.
    const std::size_t length = std::min<std::size_t>(std::strlen(community), kMaxCommunity);
    std::memcpy(community_, community, length);
    community_[length] = '\0';
    return static_cast<std::int32_t>(length + 1);
}

std::int32_t CPmcGetData::init(const char* address, P::EProtocol protocol, std::uint16_t port, std::int32_t version,
                               const char* security_name, std::int32_t security_level, std::int32_t auth_protocol,
                               std::int32_t priv_protocol, const char* auth_passphrase, const char* priv_passphrase,
                               const char* context_name, std::int32_t timeout_ms, std::int32_t retries,
                               std::uint32_t max_message_size) {
    std::int32_t code = kOk;
    release_and_forget(address_);
    address_ = pmc_create_network_address(&code);
    if (address_ == nullptr) return code;
    if (code = address_->assign(address, protocol, port); code != kOk) return code;

    const bool ip = address_->protocol() == P::IPv4 || address_->protocol() == P::IPv6;
    const std::uint32_t limit = ip ? kIpMaxMessage : kIpxMaxMessage;
    const std::uint32_t max_size = max_message_size == 0 || max_message_size > limit ? limit : max_message_size;

    version_ = version;
    IPmsSnmpTarget* chosen = nullptr;
    if (version == pms_version::kV3) {
        release_and_forget(usm_target_);
        IPmsUsm* usm = pms_create_usm_target(&code);
        if (usm == nullptr) return code;
        usm_target_ = usm;
        usm->set_timeout(timeout_ms);
        usm->set_retries(retries);
        usm->set_version(pms_version::kV3);
        if (code = usm->set_address(address_); code != kOk) return code;
        usm->set_security_name(security_name);
        usm->set_security_level(security_level);
        usm->set_auth_protocol(auth_protocol);
        usm->set_priv_protocol(priv_protocol);
        usm->set_auth_passphrase(auth_passphrase);
        usm->set_priv_passphrase(priv_passphrase);
        usm->set_context_name(context_name);
        chosen = usm;
    } else {
        release_and_forget(community_target_);
        IPmsCommunity* community = pms_create_community_target(&code);
        if (community == nullptr) return code;
        community_target_ = community;
        community->set_timeout(timeout_ms);
        community->set_retries(retries);
        community->set_version(pms_version::kV1);
        if (code = community->set_community(community_); code != kOk) return code;
        if (code = community->set_address(address_); code != kOk) return code;
        chosen = community;
    }
    chosen->set_max_size(static_cast<std::int32_t>(max_size));
    release_and_forget(pdu_);
    pdu_ = pms_create_pdu(&code);
    return code;
}

IPmsSnmpTarget* CPmcGetData::target() const { return version_ == pms_version::kV3 ? usm_target_ : community_target_; }

std::int32_t CPmcGetData::add_oid_string(const char* oid, bool add_instance_zero) {
    if (pdu_ == nullptr) return kErrEmpty;  // no init yet
    std::int32_t code = kOk;
    IPmsOid* name = pms_create_oid_from_text(oid, &code);
    if (name == nullptr) return code;
    if (add_instance_zero) code = name->append("0");
    if (code == kOk) code = pdu_->add(name, nullptr);
    if (code != kOk) name->release();
    return code;
}

std::int32_t CPmcGetData::add_oid_string(const char* oid, const char* instance, std::int32_t value) {
    if (pdu_ == nullptr) return kErrEmpty;
    std::int32_t code = kOk;
    IPmsOid* name = pms_create_oid_from_text(oid, &code);
    if (name == nullptr) return code;
    IPmsValue* number = pms_create_value_from_int(value, pms_tag::kInteger, &code);
    if (number == nullptr) {
        name->release();
        return code;
    }
    if (code = name->append(instance); code == kOk) code = pdu_->add(name, number);
    if (code != kOk) {
        name->release();
        number->release();
    }
    return code;
}

std::int32_t CPmcGetData::request(std::int32_t type) {
    if (pdu_ == nullptr || target() == nullptr) return kErrEmpty;
    pdu_->set_type(type);
    std::int32_t code = kOk;
    IPmsSession* dispatcher = pms_create_session_dispatcher(&code);
    if (dispatcher == nullptr) return kErrNoMemory;
    code = dispatcher->send_sync(pdu_, target());
    dispatcher->release();
    return code;
}

std::int32_t CPmcGetData::set_data() {
    if (const std::int32_t code = request(pms_pdu_type::kSetRequest); code != kOk) return code;
    const std::int32_t status = pdu_->get_error_status();
    return status == kErrorStatusNoSuchName || status == kErrorStatusNoAccess ? kErrNotFound : kOk;
}

std::int32_t CPmcGetData::take_first_value(IPmsValue** value) {
    *value = nullptr;
    IPmsOid* oid = nullptr;
    if (pdu_->get_bindings() == nullptr || pdu_->get_bindings()->get_count() == 0) return kErrNotFound;
    pdu_->pop_front(&oid, value);
    if (oid != nullptr) oid->release();
    return *value != nullptr ? kOk : kErrNotFound;
}

std::int32_t CPmcGetData::get_data(std::int32_t* value) {
    if (value == nullptr) return kErrBadArgument;
    if (const std::int32_t code = request(pms_pdu_type::kGetRequest); code != kOk) return code;
    IPmsValue* answered = nullptr;
    if (const std::int32_t code = take_first_value(&answered); code != kOk) return code;
    *value = answered->get_int32(nullptr);
    answered->release();
    return kOk;
}

std::int32_t CPmcGetData::get_data(std::int32_t* values, std::int32_t count) {
    if (values == nullptr && count > 0) return kErrBadArgument;
    if (const std::int32_t code = request(pms_pdu_type::kGetRequest); code != kOk) return code;
    for (std::int32_t i = 0; i < count; ++i) {
        IPmsValue* answered = nullptr;
        if (const std::int32_t code = take_first_value(&answered); code != kOk) return code;
        values[i] = answered->get_int32(nullptr);
        answered->release();
    }
    return kOk;
}

std::int32_t CPmcGetData::read_text(char* text, std::uint32_t size) {
    IPmsValue* answered = nullptr;
    if (const std::int32_t code = take_first_value(&answered); code != kOk) return code;
    std::int32_t code = kOk;
    IPmcByteString* printed = answered->to_text(&code);
    answered->release();
    if (printed == nullptr) return code;
    const std::uint32_t length = printed->get_length();
    const std::uint32_t copied = length < size ? length : size - 1;
    if (copied != 0) std::memcpy(text, printed->get_data(), copied);
    text[copied] = '\0';
    printed->release();
    return copied == length ? kOk : kErrNotFound;
}

std::int32_t CPmcGetData::get_data(char* text) {
    if (text == nullptr) return kErrBadArgument;
    if (const std::int32_t code = request(pms_pdu_type::kGetRequest); code != kOk) return code;
    return read_text(text, UINT32_MAX);  // the caller promised room for the whole text
}

std::int32_t CPmcGetData::get_text(char* text, std::uint32_t size) {
    if (text == nullptr || size == 0) return kErrBadArgument;
    if (const std::int32_t code = request(pms_pdu_type::kGetRequest); code != kOk) return code;
    return read_text(text, size);
}

std::int32_t CPmcGetData::get_data(IPmcPtrList<IPmsPdu>* rows, const char* root_oid) {
    if (rows == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    IPmsOid* root = pms_create_oid_from_text(root_oid, &code);
    if (root == nullptr) return code;
    IPmsOid* asked = root->clone(&code);
    while (code == kOk && asked != nullptr) {
        if (code = request(pms_pdu_type::kGetNextRequest); code != kOk) break;
        const IPmsVarBindList* bindings = pdu_->get_bindings();
        const IPmsVarBind* first = bindings ? bindings->get(0) : nullptr;
        if (first == nullptr || first->get_oid() == nullptr) {
            code = kErrNotFound;
            break;
        }
        const std::int32_t relation = first->get_oid()->compare(root, nullptr);
        if (relation != pms_oid_relation::kThisBelow && relation != pms_oid_relation::kOtherBelow) break;
        // An agent at the end of its MIB answers with an error, an exception
        // or the same OID again: the walk ends there instead of asking for ever.
        const char* answer_text = nullptr;
        const std::size_t answer_length = length_of(first->get_oid(), &answer_text);
        const char* asked_text = nullptr;
        const std::size_t asked_length = length_of(asked, &asked_text);
        if (pdu_->get_error_status() != 0 || is_exception(first->get_value()) ||
            numeric_order(answer_text, answer_length, asked_text, asked_length) <= 0) {
            break;
        }
        IPmsPdu* row = pdu_->clone(&code);
        if (row == nullptr) break;
        if (code = rows->add_tail(row); code != kOk) {
            row->release();
            break;
        }
        asked->release();
        asked = first->get_oid()->clone(&code);
    }
    if (asked != nullptr) asked->release();
    root->release();
    return code;
}

std::int32_t CPmcGetData::get_address_protocol(const char* address, P::EProtocol* protocol) {
    return pmc_address_protocol(address, protocol);
}

IPmcGetData* pmc_create_get_data(std::int32_t* result) {
    auto* data = create<CPmcGetData>();
    if (data == nullptr) return fail<IPmcGetData>(result, kErrNoMemory);
    set_result(result, kOk);
    return data;
}
