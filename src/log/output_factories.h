// The two output factories every manager has: "stdout" and "file".
#pragma once

#include "tolvcomm/log.h"

namespace tolv::log {

inline constexpr const char* kExtentionNameKey = "ExtentionName";  // the file path property

ILogOutputFactory* stdout_factory();
ILogOutputFactory* file_factory();

}  // namespace tolv::log
