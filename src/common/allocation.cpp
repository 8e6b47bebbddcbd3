#include "common/allocation.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace tolv {
namespace object_pool {
thread_local FreeLists lists{};
std::atomic<bool> injector_armed{false};  // on any thread: only then is the countdown read
}  // namespace object_pool

namespace {
using namespace object_pool;
thread_local long countdown = -1;

// Trivially destructible for the same reason as the free lists.
struct SpareBuffer {
    void* block;
    std::size_t size;
};
thread_local SpareBuffer spare{};
thread_local void* receive_buffer = nullptr;

// Gives the cached blocks back when the thread ends.
struct FreeListsOwner {
    ~FreeListsOwner() {
        for (std::size_t c = 0; c < kClasses; ++c) {
            while (FreeBlock* block = lists.heads[c]) {
                lists.heads[c] = block->next;
                std::free(block);
            }
            lists.counts[c] = 0;
        }
        std::free(spare.block);
        spare.block = nullptr;
        std::free(receive_buffer);
        receive_buffer = nullptr;
        lists.closed = true;
    }
};
thread_local FreeListsOwner owner;

std::size_t class_of(std::size_t bytes) { return bytes == 0 ? kClasses : (bytes - 1) / kGrain; }
}  // namespace

bool allocation_should_fail() {
    if (!injector_armed.load(std::memory_order_relaxed) || countdown < 0) return false;
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

void* allocate_buffer(std::size_t bytes) {
    if (allocation_should_fail()) return nullptr;
    if (TOLV_OBJECT_POOL && spare.block != nullptr && spare.size >= bytes && !lists.closed) {
        void* block = spare.block;
        spare.block = nullptr;
        return block;
    }
    (void)&owner;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void deallocate_buffer(void* block, std::size_t bytes) {
    if (block == nullptr) return;
    if (!TOLV_OBJECT_POOL || lists.closed || (spare.block != nullptr && spare.size >= bytes)) {
        std::free(block);
        return;
    }
    std::free(spare.block);
    spare.block = block;
    spare.size = bytes;
}

void* thread_receive_buffer(std::size_t bytes) {
    if (receive_buffer == nullptr && !lists.closed) {
        if (allocation_should_fail()) return nullptr;
        (void)&owner;
        receive_buffer = std::malloc(bytes);
    }
    return receive_buffer;
}

void* allocate_object(std::size_t bytes) {
    if (allocation_should_fail()) return nullptr;
    const std::size_t c = class_of(bytes);
    if (!TOLV_OBJECT_POOL || c >= kClasses || lists.closed) return std::malloc(bytes == 0 ? 1 : bytes);
    if (FreeBlock* block = lists.heads[c]; block != nullptr) {
        lists.heads[c] = block->next;
        --lists.counts[c];
        return block;
    }
    (void)&owner;  // makes sure this thread's cache is handed back at its end
    return std::malloc((c + 1) * kGrain);  // the whole class, so any object of it fits later
}

void deallocate_object(void* block, std::size_t bytes) {
    if (block == nullptr) return;
    const std::size_t c = class_of(bytes);
    if (!TOLV_OBJECT_POOL || c >= kClasses || lists.closed || lists.counts[c] >= kMaxCached) {
        std::free(block);
        return;
    }
    auto* free_block = static_cast<FreeBlock*>(block);
    free_block->next = lists.heads[c];
    lists.heads[c] = free_block;
    ++lists.counts[c];
}

namespace fault_injection {
void fail_allocation_after(long successes) {
    countdown = successes;
    if (successes >= 0) injector_armed.store(true, std::memory_order_relaxed);
}
}  // namespace fault_injection

}  // namespace tolv
