#include "platform/module_registry.h"

#include <strings.h>

#include <cstring>

#include <mutex>

#include "platform/builtin_modules.h"

namespace tolv::platform {
namespace {
struct Module {
    const char* name;
    const Export* exports;
    bool hidden;
    int loads;
};

constexpr int kMaxModules = 16;

struct Registry {
    std::mutex lock;
    Module modules[kMaxModules];
    int count = 0;

    Registry() { add_builtins(); }

    void add_builtins() {
        count = 0;
        for (const BuiltinModule& builtin : builtin_modules()) {
            modules[count++] = Module{builtin.name, builtin.exports, false, 0};
        }
    }

    Module* find(const char* name) {
        for (int i = 0; i < count; ++i) {
            if (strcasecmp(modules[i].name, name) == 0) return &modules[i];
        }
        return nullptr;
    }

    bool owns(const void* handle) const {
        return handle >= static_cast<const void*>(modules) && handle < static_cast<const void*>(modules + count);
    }
};

Registry& registry() {
    static Registry instance;
    return instance;
}

thread_local std::uint32_t last_error = 0;
}  // namespace

ModuleHandle load_library(const char* name) {
    if (name == nullptr) {
        last_error = kErrorModuleNotFound;
        return nullptr;
    }
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    Module* module = r.find(name);
    if (module == nullptr || module->hidden) {
        last_error = kErrorModuleNotFound;
        return nullptr;
    }
    ++module->loads;
    return module;
}

ModuleHandle load_library_ex(const char* name, std::uint32_t) { return load_library(name); }

Function get_proc_address(ModuleHandle handle, const char* name) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (handle == nullptr || !r.owns(handle)) {
        last_error = kErrorModuleNotFound;
        return nullptr;
    }
    const auto* module = static_cast<const Module*>(handle);
    for (const Export* entry = module->exports; name != nullptr && entry->name != nullptr; ++entry) {
        if (strcmp(entry->name, name) == 0) return entry->function;
    }
    last_error = kErrorProcNotFound;
    return nullptr;
}

bool free_library(ModuleHandle handle) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (handle == nullptr || !r.owns(handle)) return false;
    auto* module = static_cast<Module*>(handle);
    if (module->loads > 0) --module->loads;
    return true;
}

std::uint32_t get_last_error() { return last_error; }
void set_last_error(std::uint32_t code) { last_error = code; }

void register_module(const char* name, const Export* exports) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (Module* module = r.find(name); module != nullptr) {
        module->exports = exports;
        module->hidden = false;
        return;
    }
    if (r.count < kMaxModules) r.modules[r.count++] = Module{name, exports, false, 0};
}

void hide_module(const char* name) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (Module* module = r.find(name); module != nullptr) module->hidden = true;
}

void restore_builtin_modules() {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.add_builtins();
}

int load_count(const char* name) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const Module* module = r.find(name);
    return module ? module->loads : 0;
}

}  // namespace tolv::platform
