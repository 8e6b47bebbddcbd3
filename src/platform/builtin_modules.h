// The modules the platform offers by name without any registration.
#pragma once

#include <span>

#include "platform/module_registry.h"

namespace tolv::platform {

struct BuiltinModule {
    const char* name;
    const Export* exports;
};

// "ws2_32.dll" (socket library 2.2 with the protocol-independent name
// functions) and "wsock32.dll" (socket library 1.1 without them).
std::span<const BuiltinModule> builtin_modules();

}  // namespace tolv::platform
