// Run-time loading of modules by name: load, find a function by name, free,
// and the thread's last error, over a registry of built-in modules that
// tests can replace, hide or extend.
#pragma once

#include <cstdint>

namespace tolv::platform {

using ModuleHandle = void*;
using Function = void (*)();

inline constexpr std::uint32_t kErrorModuleNotFound = 126;
inline constexpr std::uint32_t kErrorProcNotFound = 127;
inline constexpr std::uint32_t kLoadWithAlteredSearchPath = 0x8;

// One exported function of a module; a table ends with {nullptr, nullptr}.
struct Export {
    const char* name;
    Function function;
};

template <class F>
Function as_export(F function) {
    return reinterpret_cast<Function>(function);
}

ModuleHandle load_library(const char* name);
ModuleHandle load_library_ex(const char* name, std::uint32_t flags);
Function get_proc_address(ModuleHandle module, const char* name);
bool free_library(ModuleHandle module);
std::uint32_t get_last_error();
void set_last_error(std::uint32_t code);

// Registers (or replaces) a module under a name; the table must outlive
// the registration.
void register_module(const char* name, const Export* exports);
// Makes a name fail to load, as on a host without that library.
void hide_module(const char* name);
// Back to the built-in modules only.
void restore_builtin_modules();
// How many handles of the module are loaded and not freed.
int load_count(const char* name);

}  // namespace tolv::platform
