#include "log/file_output.h"

#include <cstring>

#include "common/allocation.h"

namespace tolv::log {

FileOutput::~FileOutput() {
    if (file_ != nullptr) std::fclose(file_);
}

std::int32_t FileOutput::set_max_file_size(std::uint32_t bytes) {
    std::lock_guard guard(lock_);
    max_size_ = bytes;
    return kOk;
}

std::int32_t FileOutput::set_path(const char* path) {
    if (path == nullptr) return kErrBadArgument;
    std::lock_guard guard(lock_);
    if (file_ != nullptr) {  // the next line goes to the new path
        std::fclose(file_);
        file_ = nullptr;
    }
    return path_.set(path);
}

std::int32_t FileOutput::rotate() {
    std::fclose(file_);
    file_ = nullptr;
    const std::size_t length = path_.size();
    auto* backup = static_cast<char*>(allocate(length + 5));
    if (backup == nullptr) return kErrNoMemory;
    std::memcpy(backup, path_.c_str(), length);
    std::memcpy(backup + length, ".bak", 5);
    if (std::FILE* existing = std::fopen(path_.c_str(), "r"); existing != nullptr) {
        std::fclose(existing);
        std::remove(backup);
        std::rename(path_.c_str(), backup);
    }
    deallocate(backup);
    file_ = std::fopen(path_.c_str(), "w");
    if (file_ == nullptr) return kErrUnavailable;
    current_size_ = 0;
    return kOk;
}

std::int32_t FileOutput::write(const char* line) {
    if (line == nullptr) line = "";
    std::lock_guard guard(lock_);
    if (file_ == nullptr) {
        if (path_.empty()) return kErrUnavailable;
        file_ = std::fopen(path_.c_str(), "a");
        if (file_ == nullptr) return kErrUnavailable;
        std::fseek(file_, 0, SEEK_END);
        const long size = std::ftell(file_);
        current_size_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }
    // A line end counts as two bytes, as on a platform that writes CR LF, so
    // the file never grows past its limit whichever line end is written.
    const std::uint64_t needed = std::strlen(line) + 2;
    if (needed > max_size_) return kErrNotFound;
    if (current_size_ + needed > max_size_) {
        if (const std::int32_t code = rotate(); code != kOk) return code;
    }
    std::fputs(line, file_);
    std::fputc('\n', file_);
    std::fflush(file_);
    current_size_ += needed;
    return kOk;
}

void* FileOutput::find_part(const char* id) {
    if (same_id(id, log_iid::kBase) || same_id(id, log_iid::kOutput)) return static_cast<ILogOutput*>(this);
    if (same_id(id, log_iid::kFileOutput)) return static_cast<ILogFileOutput*>(this);
    return nullptr;
}

}  // namespace tolv::log
