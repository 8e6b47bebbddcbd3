// Every allocation of the library goes through here, so that an out-of-memory
// condition becomes a result code (-3) instead of an exception, and so that
// tests can make a chosen allocation fail and check that nothing leaks.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace tolv {

// True when the fault injector says the next allocation must fail.
bool allocation_should_fail();

void* allocate(std::size_t bytes);  // null on failure
void* reallocate(void* block, std::size_t bytes);  // null on failure, block kept
void deallocate(void* block);

template <class T, class... Args>
T* create(Args&&... args) {
    if (allocation_should_fail()) return nullptr;
    return new (std::nothrow) T(std::forward<Args>(args)...);
}

namespace fault_injection {
// The allocation after `successes` more successful ones fails (once, on the
// calling thread); a negative value switches the injector off.
void fail_allocation_after(long successes);
}  // namespace fault_injection

}  // namespace tolv
