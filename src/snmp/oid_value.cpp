#include "snmp/oid_value.h"

#include <cstring>

#include "common/allocation.h"
#include "common/byte_string.h"
#include "common/result.h"
#include "snmp/index_form.h"
#include "snmp/oid_codec.h"
#include "snmp/oid_text.h"
#include "snmp/value_factory.h"
#include "tolvcomm/result_codes.h"

using namespace tolv;

namespace {
// The dotted text of any IPmsOid, read through its value part.
const char* text_of(const IPmsOid* oid, std::size_t* length) {
    std::uint32_t n = 0;
    const auto* bytes = reinterpret_cast<const char*>(oid->as_value()->get_bytes(&n, nullptr));
    *length = bytes ? n : 0;
    return bytes ? bytes : "";
}
}  // namespace

CPmsOidValue::~CPmsOidValue() {
    if (text_ != inline_text_) deallocate(text_);
}

CPmsOidValue* CPmsOidValue::clone(std::int32_t* result) const {
    auto* copy = create<CPmsOidValue>();
    if (copy == nullptr) return fail<CPmsOidValue>(result, kErrNoMemory);
    if (const std::int32_t code = copy->replace_text(text_, length_); code != kOk) {
        copy->release();
        return fail<CPmsOidValue>(result, code);
    }
    copy->count_ = count_;
    copy->remember_encoded(encoded_, encoded_length_);
    set_result(result, kOk);
    return copy;
}

std::int32_t CPmsOidValue::reserve(std::size_t length) {
    if (length + 1 <= capacity_) return kOk;
    std::size_t capacity = capacity_ * 2;
    while (capacity < length + 1) capacity *= 2;
    const bool on_heap = text_ != inline_text_;
    auto* grown = static_cast<char*>(on_heap ? reallocate(text_, capacity) : allocate(capacity));
    if (grown == nullptr) return kErrNoMemory;
    if (!on_heap) std::memcpy(grown, inline_text_, length_ + 1);
    text_ = grown;
    capacity_ = capacity;
    return kOk;
}

std::int32_t CPmsOidValue::replace_text(const char* text, std::size_t length) {
    encoded_length_ = 0;
    if (length == 0) {
        length_ = 0;
        text_[0] = '\0';
        count_ = 0;
        return kOk;
    }
    if (text == text_) {  // a prefix of our own text
        length_ = length < length_ ? length : length_;
        text_[length_] = '\0';
        count_ = kUnknownCount;
        return kOk;
    }
    if (const std::int32_t code = reserve(length); code != kOk) return code;
    std::memmove(text_, text, length);
    text_[length] = '\0';
    length_ = length;
    count_ = kUnknownCount;
    return kOk;
}

std::int32_t CPmsOidValue::append_text(const char* text, std::size_t length) {
    if (length == 0) return kOk;
    encoded_length_ = 0;
    const std::size_t separator = length_ != 0 ? 1 : 0;
    // `text` may point into our own storage: remember its offset.
    const bool own = text >= text_ && text < text_ + capacity_;
    const std::size_t offset = own ? static_cast<std::size_t>(text - text_) : 0;
    if (const std::int32_t code = reserve(length_ + separator + length); code != kOk) return code;
    if (own) text = text_ + offset;
    if (separator) text_[length_] = '.';
    std::memmove(text_ + length_ + separator, text, length);
    length_ += separator + length;
    text_[length_] = '\0';
    return kOk;
}

void CPmsOidValue::remove_front_bytes(std::size_t length, std::uint32_t arcs) {
    encoded_length_ = 0;
    if (length >= length_) {
        clear();
        return;
    }
    const std::size_t cut = length + 1;  // and the dot after them
    std::memmove(text_, text_ + cut, length_ - cut + 1);
    length_ -= cut;
    if (count_ != kUnknownCount) count_ -= static_cast<std::int32_t>(arcs);
}

namespace {
// Answered only by CPmsOidValue: how the codec recognises its own OIDs.
constexpr std::int32_t kOwnOidPart = 0x544F4F49;
}  // namespace

CPmsOidValue* CPmsOidValue::of(IPmsValue* value) {
    void* part = nullptr;
    if (value == nullptr || value->query_interface(kOwnOidPart, &part) != kOk) return nullptr;
    return static_cast<CPmsOidValue*>(part);
}

std::int32_t CPmsOidValue::query_interface(std::int32_t id, void** out) {
    if (id != kOwnOidPart) return CPmsValueBase::query_interface(id, out);
    if (out != nullptr) *out = this;
    return kOk;
}

void CPmsOidValue::remember_encoded(const std::uint8_t* content, std::size_t length) const {
    if (length == 0 || length > kMaxEncoded) return;
    std::memcpy(encoded_, content, length);
    encoded_length_ = static_cast<std::uint8_t>(length);
}

std::int32_t CPmsOidValue::decode_from(const std::uint8_t* content, std::size_t length) {
    clear();
    if (const std::int32_t code = reserve(ber::oid_text_room(length)); code != kOk) return code;
    std::uint32_t arcs = 0;
    const long written = ber::read_oid_content(content, length, text_, &arcs);
    if (written < 0) {
        clear();
        return kErrDecode;
    }
    length_ = static_cast<std::size_t>(written);
    count_ = static_cast<std::int32_t>(arcs);
    remember_encoded(content, length);
    return kOk;
}

// IPmsValue ------------------------------------------------------------------

std::int32_t CPmsOidValue::accept(IPmsValueVisitor* visitor) {
    return visitor ? visitor->visit_oid(this) : kErrBadArgument;
}

std::int32_t CPmsOidValue::assign(const IPmsValue* other) {
    if (other == nullptr || other->get_type() != tag_) return kErrBadArgument;
    if (other == this) return kOk;
    std::uint32_t length = 0;
    const auto* text = reinterpret_cast<const char*>(other->get_bytes(&length, nullptr));
    return replace_text(text, text ? length : 0);
}

void CPmsOidValue::clear() {
    encoded_length_ = 0;
    length_ = 0;
    text_[0] = '\0';
    count_ = 0;
}

bool CPmsOidValue::equals(const IPmsValue* other) const {
    if (other == nullptr || other->get_type() != tag_) return false;
    std::uint32_t length = 0;
    const std::uint8_t* text = other->get_bytes(&length, nullptr);
    return length == length_ && (length == 0 || std::memcmp(text, text_, length) == 0);
}

bool CPmsOidValue::is_valid() const { return oid_text::is_valid(text_, length_); }

std::uint32_t CPmsOidValue::get_uint32(std::int32_t* result) const { return get_element(0, result); }

std::int32_t CPmsOidValue::to_text(IPmcByteString* out) const {
    if (out == nullptr) return kErrBadArgument;
    return out->set(text_, static_cast<std::uint32_t>(length_));
}

const std::uint8_t* CPmsOidValue::get_bytes(std::uint32_t* length, std::int32_t* result) const {
    if (length == nullptr) return fail<const std::uint8_t>(result, kErrBadArgument);
    *length = static_cast<std::uint32_t>(length_);
    set_result(result, kOk);
    return reinterpret_cast<const std::uint8_t*>(text());
}

std::int32_t CPmsOidValue::set_uint32(std::uint32_t value) {
    clear();
    return append(value);
}

std::int32_t CPmsOidValue::set_text(const char* text) {
    return replace_text(text, text ? std::strlen(text) : 0);
}

std::int32_t CPmsOidValue::set_bytes(const void* data, std::uint32_t length) {
    if (data == nullptr) return kErrBadArgument;
    return replace_text(static_cast<const char*>(data), length);
}

std::uint32_t CPmsOidValue::get_count() const {
    if (count_ == kUnknownCount) count_ = static_cast<std::int32_t>(oid_text::count_arcs(text_, length_));
    return static_cast<std::uint32_t>(count_);
}

std::uint32_t CPmsOidValue::get_index_length(std::int32_t implied) const {
    return get_count() + (implied == 1 ? 0 : 1);
}

std::uint32_t CPmsOidValue::get_element(std::uint32_t index, std::int32_t* result) const {
    const std::uint32_t count = get_count();
    if (count == 0 || index >= count) {
        set_result(result, count == 0 ? kErrEmpty : kErrNotFound);
        return 0xFFFFFFFFu;
    }
    oid_text::ArcCursor cursor(text_, length_);
    std::uint32_t arc = 0;
    for (std::uint32_t i = 0; i <= index; ++i) cursor.next(&arc);
    set_result(result, kOk);
    return arc;
}

std::int32_t CPmsOidValue::append_index(IPmsOid* oid, std::int32_t implied) const {
    if (oid == nullptr) return kErrBadArgument;
    if (implied != 1) {
        if (const std::int32_t code = oid->append(get_count()); code != kOk) return code;
    }
    return oid->append(static_cast<const IPmsOid*>(this));
}

std::int32_t CPmsOidValue::from_index(const IPmsOid* oid, std::int32_t implied, std::int32_t count) {
    if (oid == nullptr) return kErrBadArgument;
    // Build the result apart from our own text: `oid` may be this object.
    CPmsOidValue result;
    IndexArcs arcs(oid);
    std::uint32_t length = 0;
    std::int32_t code = kOk;
    if (implied != 1) {
        code = arcs.read(&length);
        if (code == kOk && length > arcs.remaining()) code = kErrIndexType;
    } else {
        length = count < 0 ? arcs.remaining() : static_cast<std::uint32_t>(count);
    }
    for (std::uint32_t i = 0; code == kOk && i < length; ++i) {
        std::uint32_t arc = 0;
        code = arcs.read(&arc);
        if (code == kOk) code = result.append(arc);
    }
    clear();
    if (code != kOk) return code;
    code = replace_text(result.text_, result.length_);
    if (code == kOk) count_ = static_cast<std::int32_t>(length);
    return code;
}

// IPmsOid --------------------------------------------------------------------

std::int32_t CPmsOidValue::compare(const char* text, std::int32_t* result) const {
    if (text == nullptr) {
        set_result(result, kErrBadArgument);
        return -1;
    }
    set_result(result, kOk);
    return oid_text::compare(text_, length_, text, std::strlen(text));
}

std::int32_t CPmsOidValue::compare(const IPmsOid* other, std::int32_t* result) const {
    if (other == nullptr) {
        set_result(result, kErrBadArgument);
        return -1;
    }
    std::size_t length = 0;
    const char* text = text_of(other, &length);
    set_result(result, kOk);
    return oid_text::compare(text_, length_, text, length);
}

std::int32_t CPmsOidValue::remove_prefix(const char* text) {
    if (text == nullptr) return kErrBadArgument;
    const std::size_t length = std::strlen(text);
    const std::int32_t relation = oid_text::compare(text_, length_, text, length);
    if (relation != pms_oid_relation::kEqual && relation != pms_oid_relation::kThisBelow) return kErrBadArgument;
    remove_front_bytes(length, oid_text::count_arcs(text, length));
    return kOk;
}

std::int32_t CPmsOidValue::remove_prefix(const IPmsOid* prefix) {
    if (prefix == nullptr) return kErrBadArgument;
    std::size_t length = 0;
    const char* text = text_of(prefix, &length);
    const std::int32_t relation = oid_text::compare(text_, length_, text, length);
    if (relation != pms_oid_relation::kEqual && relation != pms_oid_relation::kThisBelow) return kErrBadArgument;
    remove_front_bytes(length, oid_text::count_arcs(text, length));
    return kOk;
}

std::int32_t CPmsOidValue::append(const char* text) {
    if (text == nullptr || *text == '\0') return kOk;
    const std::int32_t code = append_text(text, std::strlen(text));
    if (code == kOk) count_ = kUnknownCount;  // the text is not checked
    return code;
}

std::int32_t CPmsOidValue::append(std::uint32_t arc) {
    char digits[10];
    const std::size_t length = oid_text::format_arc(arc, digits);
    const std::uint32_t before = get_count();
    const std::int32_t code = append_text(digits, length);
    if (code == kOk) count_ = static_cast<std::int32_t>(before + 1);
    return code;
}

std::int32_t CPmsOidValue::append(const IPmsOid* other) {
    if (other == nullptr) return kErrBadArgument;
    std::size_t length = 0;
    const char* text = text_of(other, &length);
    if (length == 0) return kOk;
    const std::uint32_t arcs = other->as_value()->get_count();
    const std::uint32_t before = get_count();
    const std::int32_t code = append_text(text, length);
    if (code == kOk) count_ = static_cast<std::int32_t>(before + arcs);
    return code;
}

std::int32_t CPmsOidValue::append_index(const char* text, std::int32_t type, std::int32_t implied) {
    if (text == nullptr) return kErrBadArgument;
    std::int32_t code = kOk;
    IPmsValue* value = pms_create_value(type, &code);
    if (value == nullptr) return code;
    code = value->set_text(text);
    if (code == kOk) code = value->append_index(this, implied);
    value->release();
    return code;
}

std::int32_t CPmsOidValue::append_index(const IPmsValue* value, std::int32_t implied) {
    if (value == nullptr) return kErrBadArgument;
    return value->append_index(this, implied);
}

IPmsOid* CPmsOidValue::split_front(std::uint32_t count, std::int32_t* result) {
    auto* front = create<CPmsOidValue>();
    if (front == nullptr) return fail<IPmsOid>(result, kErrNoMemory);
    if (const std::int32_t code = split_front(front, count); code != kOk) {
        front->release();
        return fail<IPmsOid>(result, code);
    }
    set_result(result, kOk);
    return front;
}

std::int32_t CPmsOidValue::split_front(IPmsOid* out, std::uint32_t count) {
    if (out == nullptr) return kErrBadArgument;
    const std::uint32_t arcs = count < get_count() ? count : get_count();
    const std::size_t length = oid_text::prefix_length(text_, length_, arcs);
    if (const std::int32_t code = out->as_value()->set_bytes(text(), static_cast<std::uint32_t>(length));
        code != kOk) {
        return code;
    }
    remove_front_bytes(length, arcs);
    return kOk;
}

std::uint32_t CPmsOidValue::pop_arc(std::int32_t* result) {
    std::int32_t code = kOk;
    const std::uint32_t arc = get_element(0, &code);
    set_result(result, code);
    if (code == kOk) erase(0, 1);
    return arc;
}

IPmcByteString* CPmsOidValue::split_front_text(std::uint32_t count, std::int32_t* result) {
    IPmcByteString* text = pmc_create_byte_string(result);
    if (text == nullptr) return nullptr;
    if (const std::int32_t code = split_front_text(text, count); code != kOk) {
        text->release();
        return fail<IPmcByteString>(result, code);
    }
    return text;
}

std::int32_t CPmsOidValue::split_front_text(IPmcByteString* out, std::uint32_t count) {
    if (out == nullptr) return kErrBadArgument;
    const std::uint32_t arcs = count < get_count() ? count : get_count();
    const std::size_t length = oid_text::prefix_length(text_, length_, arcs);
    if (const std::int32_t code = out->set(text_, static_cast<std::uint32_t>(length)); code != kOk) return code;
    remove_front_bytes(length, arcs);
    return kOk;
}

IPmsValue* CPmsOidValue::pop_index(std::int32_t type, std::int32_t* result, std::int32_t implied,
                                   std::int32_t count) {
    IPmsValue* value = pms_create_value(type, result);
    if (value == nullptr) return nullptr;
    if (const std::int32_t code = pop_index(value, implied, count); code != kOk) {
        value->release();
        return fail<IPmsValue>(result, code);
    }
    return value;
}

std::int32_t CPmsOidValue::pop_index(IPmsValue* value, std::int32_t implied, std::int32_t count) {
    if (value == nullptr) return kErrBadArgument;
    if (const std::int32_t code = value->from_index(this, implied, count); code != kOk) return code;
    const std::uint32_t used =
        implied == 1 && count != -1 ? static_cast<std::uint32_t>(count) : value->get_index_length(implied);
    if (used != 0) erase(0, used);
    return kOk;
}

std::int32_t CPmsOidValue::erase(std::uint32_t start, std::uint32_t count) {
    const std::uint32_t arcs = get_count();
    if (start >= arcs) return kErrBadArgument;
    if (count == 0) return kOk;
    const bool to_end = count == 0xFFFFFFFFu || count >= arcs - start;
    if (start == 0) {
        if (to_end) {
            clear();
        } else {
            remove_front_bytes(oid_text::prefix_length(text_, length_, count), count);
        }
        return kOk;
    }
    encoded_length_ = 0;
    const std::size_t begin = oid_text::prefix_length(text_, length_, start);  // the dot before arc `start`
    const std::size_t end = to_end ? length_ : oid_text::prefix_length(text_, length_, start + count);
    std::memmove(text_ + begin, text_ + end, length_ - end + 1);
    length_ -= end - begin;
    count_ = static_cast<std::int32_t>(arcs - (to_end ? arcs - start : count));
    return kOk;
}

IPmsValue* CPmsOidValue::peek_index(std::int32_t type, std::int32_t* result, std::int32_t implied) const {
    IPmsValue* value = pms_create_value(type, result);
    if (value == nullptr) return nullptr;
    if (const std::int32_t code = peek_index(value, implied); code != kOk) {
        value->release();
        return fail<IPmsValue>(result, code);
    }
    return value;
}

std::int32_t CPmsOidValue::peek_index(IPmsValue* value, std::int32_t implied) const {
    if (value == nullptr) return kErrBadArgument;
    return value->from_index(this, implied, -1);
}

std::int32_t CPmsOidValue::set_index(const IPmsValue* value, std::int32_t implied) {
    if (value == nullptr) return kErrBadArgument;
    return value->to_index(this, implied);
}
