#include "transport/network_address.h"

#include <cstring>

#include "common/allocation.h"
#include "common/byte_string.h"
#include "common/result.h"
#include "tolvcomm/result_codes.h"
#include "transport/address_resolver.h"

using namespace tolv;
using EProtocol = IPmcNetworkAddress::EProtocol;

CPmcNetworkAddress::~CPmcNetworkAddress() {
    if (text_ != nullptr) text_->release();
}

IPmcByteString* CPmcNetworkAddress::lower_cased(const char* text, std::int32_t* result) {
    IPmcByteString* copy = pmc_create_byte_string(text, static_cast<std::uint32_t>(std::strlen(text)), result);
    if (copy == nullptr || copy->get_length() == 0) return copy;
    // Only A to F change: stored texts compare equal however hex digits were typed.
    auto* letters = const_cast<char*>(copy->get_data());
    for (std::uint32_t i = 0; i < copy->get_length(); ++i) {
        if (letters[i] >= 'A' && letters[i] <= 'F') letters[i] = static_cast<char>(letters[i] - 'A' + 'a');
    }
    return copy;
}

std::int32_t CPmcNetworkAddress::set_text(const char* text) {
    if (text == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    IPmcByteString* copy = lower_cased(text, &code);
    if (copy == nullptr) return code;
    EProtocol detected = Unspecified;
    code = pmc_address_protocol(copy->get_length() ? copy->get_data() : "", &detected);
    // Once an address has a protocol, a text of another protocol is refused.
    if (code == kOk && protocol_ != Unspecified && detected != protocol_) code = kErrBadArgument;
    if (code != kOk) {
        copy->release();
        return code;
    }
    if (text_ != nullptr) text_->release();
    text_ = copy;
    if (protocol_ == Unspecified) protocol_ = detected;
    return kOk;
}

std::int32_t CPmcNetworkAddress::assign(const char* text, EProtocol protocol, std::uint16_t port) {
    if (text == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    IPmcByteString* copy = lower_cased(text, &code);
    if (copy == nullptr) return code;
    if (text_ != nullptr) text_->release();
    text_ = copy;
    if (protocol != Unspecified) protocol_ = protocol;
    if (port != 0) port_ = port;
    return kOk;
}

std::int32_t CPmcNetworkAddress::get(IPmcByteString** text, EProtocol* protocol, std::uint16_t* port) const {
    if (text == nullptr) return kErrBadArgument;
    *text = nullptr;
    const std::int32_t code = text_ != nullptr ? text_->clone(text) : kOk;
    if (text_ == nullptr) *text = pmc_create_byte_string(nullptr);
    if (code != kOk || *text == nullptr) return kErrNoMemory;
    if (protocol != nullptr) *protocol = protocol_;
    if (port != nullptr) *port = port_;
    return kOk;
}

std::int32_t CPmcNetworkAddress::set_protocol(EProtocol protocol) {
    protocol_ = protocol;
    return kOk;
}

std::int32_t CPmcNetworkAddress::set_port(std::uint16_t port) {
    port_ = port;
    return kOk;
}

bool CPmcNetworkAddress::equals(const IPmcNetworkAddress* other) const {
    if (other == nullptr) return false;
    bool same = false;
    if (pmc_address_equal(text(), other->text(), &same) != kOk || !same) return false;
    // Only when the other address has a port does the port count.
    return protocol_ == other->protocol() && (other->port() == 0 || port_ == other->port());
}

std::int32_t CPmcNetworkAddress::clone(IPmcNetworkAddress** out) const {
    if (out == nullptr) return kErrBadArgument;
    *out = nullptr;
    auto* copy = create<CPmcNetworkAddress>();
    if (copy == nullptr) return kErrBadArgument;  // a clone without memory reports -2
    if (text_ != nullptr && copy->assign(text(), protocol_, port_) != kOk) {
        copy->release();
        return kErrBadArgument;
    }
    copy->protocol_ = protocol_;
    copy->port_ = port_;
    *out = copy;
    return kOk;
}

bool CPmcNetworkAddress::is_valid() const {
    bool valid = false;
    return pmc_address_is_valid(text(), &valid) == kOk && valid;
}

std::int32_t CPmcNetworkAddress::normalize() {
    IPmcByteString* numeric = nullptr;
    if (const std::int32_t code = pmc_address_numeric_text(text(), &numeric); code != kOk) return code;
    if (text_ != nullptr) text_->release();
    text_ = numeric;
    return kOk;
}

const char* CPmcNetworkAddress::text() const {
    const char* data = text_ ? text_->get_data() : nullptr;
    return data ? data : "";
}

IPmcNetworkAddress* pmc_create_network_address(std::int32_t* result) {
    auto* address = create<CPmcNetworkAddress>();
    if (address == nullptr) return fail<IPmcNetworkAddress>(result, kErrNoMemory);
    set_result(result, kOk);
    return address;
}

IPmcNetworkAddress* pmc_parse_network_address(const char* text, std::uint16_t port, std::int32_t* result) {
    if (text == nullptr) return fail<IPmcNetworkAddress>(result, kErrBadArgument);
    EProtocol protocol = IPmcNetworkAddress::Unspecified;
    if (const std::int32_t code = pmc_address_protocol(text, &protocol); code != kOk) {
        return fail<IPmcNetworkAddress>(result, code);
    }
    auto* address = create<CPmcNetworkAddress>();
    if (address == nullptr) return fail<IPmcNetworkAddress>(result, kErrNoMemory);
    const std::int32_t code = address->assign(text, protocol, port);
    set_result(result, code);
    return address;
}
