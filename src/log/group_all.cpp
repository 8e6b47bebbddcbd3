#include "log/group_all.h"

namespace tolv::log {

std::int32_t GroupAll::add_output(ILogOutput* output) {
    if (output == nullptr) return kErrBadArgument;
    std::lock_guard guard(lock_);
    std::int32_t result = add_unique_output(outputs_, output);
    for (ILogSession* member : members_) {
        if (const std::int32_t code = member->add_output(output); code != kOk) result = code;
    }
    return result;
}

std::int32_t GroupAll::set_level_mask(std::uint32_t mask) {
    std::lock_guard guard(lock_);
    template_.level_mask = mask;
    for (ILogSession* member : members_) member->set_level_mask(mask);
    return kOk;
}

std::uint32_t GroupAll::get_level_mask() const {
    std::lock_guard guard(lock_);
    return template_.level_mask;
}

std::int32_t GroupAll::set_indent(std::uint32_t count) {
    std::lock_guard guard(lock_);
    template_.indent = count;
    std::int32_t result = kOk;
    for (ILogSession* member : members_) {
        if (const std::int32_t code = member->set_indent(count); code != kOk) result = code;
    }
    return result;
}

std::uint32_t GroupAll::get_indent() const {
    std::lock_guard guard(lock_);
    return template_.indent;
}

std::int32_t GroupAll::set_header_fields(std::uint32_t fields) {
    std::lock_guard guard(lock_);
    template_.header_fields = fields;
    for (ILogSession* member : members_) member->set_header_fields(fields);
    return kOk;
}

std::uint32_t GroupAll::get_header_fields() const {
    std::lock_guard guard(lock_);
    return template_.header_fields;
}

std::int32_t GroupAll::set_number_base(std::int32_t base) {
    if (base != 10 && base != 16) return kErrBadArgument;
    std::lock_guard guard(lock_);
    template_.number_base = base;
    for (ILogSession* member : members_) member->set_number_base(base);
    return kOk;
}

std::int32_t GroupAll::get_number_base() const {
    std::lock_guard guard(lock_);
    return template_.number_base;
}

std::int32_t GroupAll::add_member(ILogSession* session) {
    if (session == nullptr) return kErrBadArgument;
    std::lock_guard guard(lock_);
    if (members_.contains(session)) return kOk;
    // The template first (mask, header fields, base, indent), then the outputs.
    session->set_level_mask(template_.level_mask);
    session->set_header_fields(template_.header_fields);
    session->set_number_base(template_.number_base);
    if (const std::int32_t code = session->set_indent(template_.indent); code != kOk) return code;
    for (ILogOutput* output : outputs_) {
        if (const std::int32_t code = session->add_output(output); code != kOk) return code;
    }
    return members_.push_back(session);
}

ILogSession* GroupAll::remove_member(ILogSession* session) {
    std::lock_guard guard(lock_);
    return members_.remove(session) ? session : nullptr;
}

void GroupAll::reset() {
    std::lock_guard guard(lock_);
    template_ = SessionTemplate{};
    outputs_.clear();
    members_.clear();
}

void* GroupAll::find_part(const char* id) {
    if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kSession)) return static_cast<ILogSession*>(this);
    if (same_id(id, log_iid::kSessionImpl)) return this;
    if (same_id(id, log_iid::kGroup) || same_id(id, log_iid::kGroupAll)) return static_cast<ILogGroup*>(this);
    return nullptr;
}

}  // namespace tolv::log
