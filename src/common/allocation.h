// Every allocation of the library goes through here, so that an out-of-memory
// condition becomes a result code (-3) instead of an exception, and so that
// tests can make a chosen allocation fail and check that nothing leaks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

// The free lists would hide use-after-free from the address sanitizer.
#if defined(__SANITIZE_ADDRESS__)
#define TOLV_OBJECT_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOLV_OBJECT_POOL 0
#endif
#endif
#ifndef TOLV_OBJECT_POOL
#define TOLV_OBJECT_POOL 1
#endif

namespace tolv {

// True when the fault injector says the next allocation must fail.
bool allocation_should_fail();

void* allocate(std::size_t bytes);  // null on failure
void* reallocate(void* block, std::size_t bytes);  // null on failure, block kept
void deallocate(void* block);

// Buffers of message size are wanted once per request: each thread keeps
// the last one given back and hands it out again when it is large enough.
void* allocate_buffer(std::size_t bytes);
void deallocate_buffer(void* block, std::size_t bytes);

// The thread's receive buffer of `bytes` (the same size every time), made
// on first use and kept until the thread ends: exchanges on one thread run
// one after the other. Null without memory.
void* thread_receive_buffer(std::size_t bytes);

// Small objects that are made and released in numbers (values, OIDs,
// bindings) come from per-thread free lists; the size is needed again
// when the block is given back.
void* allocate_object(std::size_t bytes);
void deallocate_object(void* block, std::size_t bytes);

namespace object_pool {
inline constexpr std::size_t kGrain = 16;
inline constexpr std::size_t kClasses = 16;  // objects up to 256 bytes
inline constexpr std::uint32_t kMaxCached = 1024;

struct FreeBlock {
    FreeBlock* next;
};

// Trivially destructible, so it stays usable while the thread ends.
struct FreeLists {
    FreeBlock* heads[kClasses];
    std::uint32_t counts[kClasses];
    bool closed;
};
extern thread_local FreeLists lists;
extern std::atomic<bool> injector_armed;

// The common case, kept inline: a cached block of the size's class.
inline void* take(std::size_t bytes) {
    const std::size_t c = (bytes - 1) / kGrain;
    if (c >= kClasses || injector_armed.load(std::memory_order_relaxed)) return nullptr;
    FreeBlock* block = lists.heads[c];
    if (block == nullptr) return nullptr;
    lists.heads[c] = block->next;
    --lists.counts[c];
    return block;
}

inline bool give_back(void* block, std::size_t bytes) {
    const std::size_t c = (bytes - 1) / kGrain;
    if (c >= kClasses || lists.closed || lists.counts[c] >= kMaxCached) return false;
    auto* free_block = static_cast<FreeBlock*>(block);
    free_block->next = lists.heads[c];
    lists.heads[c] = free_block;
    ++lists.counts[c];
    return true;
}
}  // namespace object_pool

// Classes that derive from this are allocated from the free lists.
struct PooledObject {
    static void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
#if TOLV_OBJECT_POOL
        if (void* block = object_pool::take(bytes)) return block;
#endif
        return allocate_object(bytes);
    }
    static void operator delete(void* block, std::size_t bytes) noexcept {
#if TOLV_OBJECT_POOL
        if (block != nullptr && object_pool::give_back(block, bytes)) return;
#endif
        deallocate_object(block, bytes);
    }
    static void operator delete(void* block, const std::nothrow_t&) noexcept { deallocate_object(block, 0); }
};

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
