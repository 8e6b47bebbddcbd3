#include "common/allocation.h"

#include <cstdlib>

namespace tolv {
namespace {
thread_local long countdown = -1;
}

bool allocation_should_fail() {
    if (countdown < 0) return false;
    if (countdown == 0) {
        countdown = -1;
        return true;
    }
    --countdown;
    return false;
}

void* allocate(std::size_t bytes) {
    if (allocation_should_fail()) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* reallocate(void* block, std::size_t bytes) {
    if (allocation_should_fail()) return nullptr;
    return std::realloc(block, bytes == 0 ? 1 : bytes);
}

void deallocate(void* block) { std::free(block); }

namespace fault_injection {
void fail_allocation_after(long successes) { countdown = successes; }
}  // namespace fault_injection

}  // namespace tolv
