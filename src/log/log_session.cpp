#include "log/log_session.h"

#include <cstring>

#include "common/allocation.h"
#include "log/line_format.h"

namespace tolv::log {

std::int32_t add_unique_output(PtrArray<ILogOutput>& outputs, ILogOutput* output) {
    if (output == nullptr) return kErrBadArgument;
    for (ILogOutput* existing : outputs) {
        if (std::strcmp(existing->get_name(), output->get_name()) == 0) return kOk;
    }
    return outputs.push_back(output);
}

std::int32_t LogSession::add_output(ILogOutput* output) {
    std::lock_guard guard(lock_);
    return add_unique_output(outputs_, output);
}

std::int32_t LogSession::set_level_mask(std::uint32_t mask) {
    std::lock_guard guard(lock_);
    level_mask_.store(mask, std::memory_order_relaxed);
    return kOk;
}

std::int32_t LogSession::set_indent(std::uint32_t count) {
    constexpr std::size_t kStep = 4;
    // An indent wider than a line would be cut anyway.
    const std::size_t width = count > kMaxLineLength / kStep ? kMaxLineLength : count * kStep;
    auto* blanks = static_cast<char*>(allocate(width + 1));
    if (blanks == nullptr) return kErrNoMemory;
    std::memset(blanks, ' ', width);
    std::lock_guard guard(lock_);
    const std::int32_t code = indent_text_.set(blanks, width);
    deallocate(blanks);
    if (code == kOk) indent_ = count;
    return code;
}

std::uint32_t LogSession::get_indent() const {
    std::lock_guard guard(lock_);
    return indent_;
}

std::int32_t LogSession::set_header_fields(std::uint32_t fields) {
    std::lock_guard guard(lock_);
    header_fields_ = fields;
    return kOk;
}

std::uint32_t LogSession::get_header_fields() const {
    std::lock_guard guard(lock_);
    return header_fields_;
}

std::int32_t LogSession::set_number_base(std::int32_t base) {
    if (base != 10 && base != 16) return kErrBadArgument;
    std::lock_guard guard(lock_);
    number_base_ = base;
    return kOk;
}

std::int32_t LogSession::get_number_base() const {
    std::lock_guard guard(lock_);
    return number_base_;
}

std::int32_t LogSession::log(std::int32_t level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::int32_t result = log_va(level, format, args);
    va_end(args);
    return result;
}

std::int32_t LogSession::log_va(std::int32_t level, const char* format, va_list args) {
    // Lines below the mask cost one atomic read: nothing is formatted.
    if ((static_cast<std::uint32_t>(level) & level_mask_.load(std::memory_order_relaxed)) == 0) return kOk;
    std::lock_guard guard(lock_);
    if ((static_cast<std::uint32_t>(level) & level_mask_.load(std::memory_order_relaxed)) == 0) return kOk;
    char line[kMaxLineLength + 1];
    const LineHeader header{header_fields_, number_base_, name_.c_str(), indent_text_.c_str()};
    format_line(line, header, level, format, args);
    std::int32_t result = kOk;
    for (ILogOutput* output : outputs_) {
        if (const std::int32_t code = output->write(line); code != kOk) result = code;
    }
    return result;
}

std::int32_t LogSession::apply(const SessionTemplate& settings) {
    set_level_mask(settings.level_mask);
    set_header_fields(settings.header_fields);
    set_number_base(settings.number_base);
    return set_indent(settings.indent);
}

void LogSession::detach() {
    std::lock_guard guard(lock_);
    level_mask_.store(0, std::memory_order_relaxed);
    outputs_.clear();
}

void* LogSession::find_part(const char* id) {
    if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kSession)) return static_cast<ILogSession*>(this);
    if (same_id(id, log_iid::kSessionImpl)) return this;
    return nullptr;
}

}  // namespace tolv::log
