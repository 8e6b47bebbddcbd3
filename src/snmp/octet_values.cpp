#include "snmp/octet_values.h"

#include <cstdio>
#include <cstring>

#include "common/allocation.h"
#include "common/result.h"
#include "snmp/index_form.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
std::uint32_t fixed_size_of(std::int32_t tag) {
    switch (tag) {
        case pms_tag::kIpAddress: return 4;
        case pms_tag::kIpv6Address: return 16;
        case pms_tag::kUdpAddress: return 6;
        case pms_tag::kIpxAddress: return 12;
        default: return 0;
    }
}

constexpr std::uint32_t kUdpDomainArc = 1;
constexpr std::uint32_t kIpxDomainArc = 5;
}  // namespace

CPmsOctetsValue::CPmsOctetsValue(std::int32_t tag)
    : CPmsValueBase(tag), fixed_size_(fixed_size_of(tag)), length_(fixed_size_of(tag)) {
    std::memset(inline_, 0, kMaxFixedSize);
}

CPmsOctetsValue::~CPmsOctetsValue() { deallocate(heap_); }

std::int32_t CPmsOctetsValue::accept(IPmsValueVisitor* visitor) {
    if (visitor == nullptr) return kErrBadArgument;
    switch (tag_) {
        case pms_tag::kIpAddress: return visitor->visit_ip_address(this);
        case pms_tag::kIpv6Address: return visitor->visit_ipv6_address(this);
        case pms_tag::kUdpAddress: return visitor->visit_udp_address(this);
        case pms_tag::kIpxAddress: return visitor->visit_ipx_address(this);
        default: return visitor->visit_octets(this);
    }
}

bool CPmsOctetsValue::is_type_part(std::uint32_t id) const {
    // Every byte type derives from OCTET STRING; the UDP transport address
    // derives from IpAddress.
    return CPmsValueBase::is_type_part(id) || id == pms_value_id::kTypePartBase + pms_tag::kOctetString ||
           (tag_ == pms_tag::kUdpAddress && id == pms_value_id::kTypePartBase + pms_tag::kIpAddress);
}

std::int32_t CPmsOctetsValue::assign(const IPmsValue* other) {
    if (other == nullptr || other->get_type() != tag_) return kErrBadArgument;
    if (other == this) return kOk;
    std::uint32_t length = 0;
    const std::uint8_t* bytes = other->get_bytes(&length, nullptr);
    return set_bytes(bytes, length);
}

void CPmsOctetsValue::clear() {
    if (is_fixed_size()) {
        std::memset(inline_, 0, fixed_size_);
        return;
    }
    deallocate(heap_);
    heap_ = nullptr;
    length_ = 0;
}

bool CPmsOctetsValue::equals(const IPmsValue* other) const {
    if (other == nullptr || other->get_type() != tag_) return false;
    std::uint32_t length = 0;
    const std::uint8_t* bytes = other->get_bytes(&length, nullptr);
    return length == length_ && (length == 0 || std::memcmp(bytes, data(), length) == 0);
}

const std::uint8_t* CPmsOctetsValue::get_bytes(std::uint32_t* length, std::int32_t* result) const {
    if (length == nullptr) return fail<const std::uint8_t>(result, kErrBadArgument);
    *length = length_;
    set_result(result, kOk);
    return length_ != 0 ? data() : nullptr;
}

std::int32_t CPmsOctetsValue::set_bytes(const void* data, std::uint32_t length) {
    if (is_fixed_size()) {
        if (length != fixed_size_ || data == nullptr) return kErrBadArgument;
        std::memmove(inline_, data, length);
        return kOk;
    }
    if (data == nullptr || length == 0) {
        clear();
        return kOk;
    }
    if (length <= kInlineSize) {
        std::memmove(inline_, data, length);
        deallocate(heap_);
        heap_ = nullptr;
        length_ = length;
        return kOk;
    }
    auto* copy = static_cast<std::uint8_t*>(allocate(length));
    if (copy == nullptr) return kErrNoMemory;
    std::memcpy(copy, data, length);
    deallocate(heap_);
    heap_ = copy;
    length_ = length;
    return kOk;
}

std::uint32_t CPmsOctetsValue::get_uint32(std::int32_t* result) const {
    if (tag_ != pms_tag::kIpAddress && tag_ != pms_tag::kUdpAddress) return CPmsValueBase::get_uint32(result);
    set_result(result, kOk);
    return (std::uint32_t{inline_[0]} << 24) | (std::uint32_t{inline_[1]} << 16) | (std::uint32_t{inline_[2]} << 8) |
           inline_[3];
}

std::int32_t CPmsOctetsValue::set_uint32(std::uint32_t value) {
    if (tag_ != pms_tag::kIpAddress && tag_ != pms_tag::kUdpAddress) return CPmsValueBase::set_uint32(value);
    for (int i = 0; i < 4; ++i) inline_[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    return kOk;
}

std::uint16_t CPmsOctetsValue::get_uint16(std::int32_t* result) const {
    // The port (UDP) or socket (IPX) is stored in the last two bytes.
    if (tag_ != pms_tag::kUdpAddress && tag_ != pms_tag::kIpxAddress) return CPmsValueBase::get_uint16(result);
    set_result(result, kOk);
    return static_cast<std::uint16_t>((inline_[fixed_size_ - 2] << 8) | inline_[fixed_size_ - 1]);
}

std::int32_t CPmsOctetsValue::set_uint16(std::uint16_t value) {
    if (tag_ != pms_tag::kUdpAddress && tag_ != pms_tag::kIpxAddress) return CPmsValueBase::set_uint16(value);
    inline_[fixed_size_ - 2] = static_cast<std::uint8_t>(value >> 8);
    inline_[fixed_size_ - 1] = static_cast<std::uint8_t>(value);
    return kOk;
}

std::int32_t CPmsOctetsValue::to_text(IPmcByteString* out) const {
    if (out == nullptr) return kErrBadArgument;
    if (is_fixed_size()) return print_address_text(out);
    return out->set(data(), length_);  // the bytes themselves
}

std::int32_t CPmsOctetsValue::set_text(const char* text) {
    if (is_fixed_size()) return parse_address_text(text);
    if (text == nullptr) {
        clear();
        return kOk;
    }
    return set_bytes(text, static_cast<std::uint32_t>(std::strlen(text)));
}

std::int32_t CPmsOctetsValue::print_address_text(IPmcByteString* out) const {
    const std::uint8_t* b = inline_;
    char text[64];
    int length = 0;
    switch (tag_) {
        case pms_tag::kIpAddress:
            length = std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
            break;
        case pms_tag::kUdpAddress:
            length = std::snprintf(text, sizeof text, "%d.%d.%d.%d/%d", b[0], b[1], b[2], b[3], get_uint16(nullptr));
            break;
        case pms_tag::kIpxAddress:
            length = std::snprintf(text, sizeof text, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x/%x", b[0], b[1],
                                   b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], get_uint16(nullptr));
            break;
        default:  // IPv6: eight groups, no compression
            for (int group = 0; group < 8; ++group) {
                length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                        group == 0 ? "%x" : ":%x", (b[2 * group] << 8) | b[2 * group + 1]);
            }
            break;
    }
    return out->set(text, static_cast<std::uint32_t>(length));
}

std::int32_t CPmsOctetsValue::parse_address_text(const char* text) {
    clear();  // a refused text leaves all bytes zero
    if (text == nullptr) return kErrBadArgument;
    std::uint8_t bytes[kMaxFixedSize] = {};
    switch (tag_) {
        case pms_tag::kIpAddress:
        case pms_tag::kUdpAddress: {
            int n[5] = {};
            const bool udp = tag_ == pms_tag::kUdpAddress;
            const int filled = udp ? std::sscanf(text, "%d.%d.%d.%d/%d", &n[0], &n[1], &n[2], &n[3], &n[4])
                                   : std::sscanf(text, "%d.%d.%d.%d", &n[0], &n[1], &n[2], &n[3]);
            if (filled != (udp ? 5 : 4)) return kErrBadArgument;
            for (int i = 0; i < 4; ++i) {
                if (static_cast<unsigned>(n[i]) > 255) return kErrBadArgument;
                bytes[i] = static_cast<std::uint8_t>(n[i]);
            }
            if (udp) {
                if (static_cast<unsigned>(n[4]) >= 0x10000) return kErrBadArgument;
                bytes[4] = static_cast<std::uint8_t>(n[4] >> 8);
                bytes[5] = static_cast<std::uint8_t>(n[4]);
            }
            break;
        }
        case pms_tag::kIpxAddress: {
            unsigned n[11] = {};
            if (std::sscanf(text, "%2x%2x%2x%2x:%2x%2x%2x%2x%2x%2x/%x", &n[0], &n[1], &n[2], &n[3], &n[4], &n[5],
                            &n[6], &n[7], &n[8], &n[9], &n[10]) != 11) {
                return kErrBadArgument;
            }
            for (int i = 0; i < 10; ++i) {
                if (n[i] > 255) return kErrBadArgument;
                bytes[i] = static_cast<std::uint8_t>(n[i]);
            }
            if (n[10] >= 0x10000) return kErrBadArgument;
            bytes[10] = static_cast<std::uint8_t>(n[10] >> 8);
            bytes[11] = static_cast<std::uint8_t>(n[10]);
            break;
        }
        default: {  // IPv6: all eight groups, no "::"
            unsigned g[8] = {};
            if (std::sscanf(text, "%x:%x:%x:%x:%x:%x:%x:%x", &g[0], &g[1], &g[2], &g[3], &g[4], &g[5], &g[6],
                            &g[7]) != 8) {
                return kErrBadArgument;
            }
            for (int i = 0; i < 8; ++i) {
                bytes[2 * i] = static_cast<std::uint8_t>(g[i] >> 8);
                bytes[2 * i + 1] = static_cast<std::uint8_t>(g[i]);
            }
            break;
        }
    }
    std::memcpy(inline_, bytes, fixed_size_);
    return kOk;
}

std::uint32_t CPmsOctetsValue::domain_arc() const {
    if (tag_ == pms_tag::kUdpAddress) return kUdpDomainArc;
    if (tag_ == pms_tag::kIpxAddress) return kIpxDomainArc;
    return 0;
}

std::uint32_t CPmsOctetsValue::get_index_length(std::int32_t implied) const {
    return length_ + (implied == 1 ? 0 : 1) + (domain_arc() != 0 ? 1 : 0);
}

std::uint32_t CPmsOctetsValue::get_element(std::uint32_t index, std::int32_t* result) const {
    if (index >= length_) {
        set_result(result, kErrBadArgument);
        return 0xFFFFFFFFu;
    }
    set_result(result, kOk);
    return data()[index];
}

std::int32_t CPmsOctetsValue::append_index(IPmsOid* oid, std::int32_t implied) const {
    if (oid == nullptr) return kErrBadArgument;
    if (const std::uint32_t domain = domain_arc(); domain != 0) {
        if (const std::int32_t code = oid->append(domain); code != kOk) return code;
    }
    return append_byte_index(oid, data(), length_, implied == 1);
}

std::int32_t CPmsOctetsValue::from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) {
    clear();
    if (oid == nullptr) return kErrBadArgument;
    IndexArcs arcs(oid);
    std::uint32_t arc = 0;
    if (const std::uint32_t domain = domain_arc(); domain != 0) {
        if (const std::int32_t code = arcs.read(&arc); code != kOk) return code;
        if (arc != domain) return kErrIndexType;
    }
    std::uint32_t length = fixed_size_;
    if (implied != 1) {
        if (const std::int32_t code = arcs.read(&arc); code != kOk) return code;
        if (is_fixed_size() ? arc != fixed_size_ : arc > arcs.remaining()) return kErrIndexType;
        length = arc;
    } else if (!is_fixed_size()) {
        length = count < 0 || static_cast<std::uint32_t>(count) > arcs.remaining() ? arcs.remaining()
                                                                                   : static_cast<std::uint32_t>(count);
    }
    if (is_fixed_size()) {
        std::uint8_t bytes[kMaxFixedSize] = {};
        const std::int32_t code = read_byte_arcs(arcs, bytes, length);
        if (code == kOk) std::memcpy(inline_, bytes, length);
        return code;
    }
    if (length == 0) return kOk;
    const bool fits = length <= kInlineSize;
    auto* bytes = fits ? inline_ : static_cast<std::uint8_t*>(allocate(length));
    if (bytes == nullptr) return kErrNoMemory;
    if (const std::int32_t code = read_byte_arcs(arcs, bytes, length); code != kOk) {
        if (!fits) deallocate(bytes);
        return code;
    }
    heap_ = fits ? nullptr : bytes;
    length_ = length;
    return kOk;
}
