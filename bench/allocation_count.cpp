// malloc, calloc, realloc and free defined in the executable take the place of
// the C library's for every shared library too; they count and pass on.
#include "allocation_count.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <malloc.h>
#include <pthread.h>

#if defined(__SANITIZE_ADDRESS__)
#define PRIZEDRAW_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define PRIZEDRAW_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef PRIZEDRAW_COUNT_ALLOCATIONS
#define PRIZEDRAW_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<bool> counting{false};
std::atomic<pthread_t> countedThread{};
std::atomic<long> allocations{0};

inline void noteAllocation()
{
    if (counting.load(std::memory_order_relaxed) && pthread_equal(pthread_self(), countedThread.load()))
        allocations.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

namespace bench {

bool countingAllocations() { return PRIZEDRAW_COUNT_ALLOCATIONS != 0; }

void startCountingAllocations()
{
    allocations = 0;
    countedThread = pthread_self();
    counting = true;
}

long stopCountingAllocations()
{
    counting = false;
    return allocations.load();
}

} // namespace bench

#if PRIZEDRAW_COUNT_ALLOCATIONS
extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *pointer, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void *pointer);

void *malloc(std::size_t size) noexcept
{
    noteAllocation();
    return __libc_malloc(size);
}
void *calloc(std::size_t count, std::size_t size) noexcept
{
    noteAllocation();
    return __libc_calloc(count, size);
}
void *realloc(void *pointer, std::size_t size) noexcept
{
    noteAllocation();
    return __libc_realloc(pointer, size);
}
void *memalign(std::size_t alignment, std::size_t size) noexcept
{
    noteAllocation();
    return __libc_memalign(alignment, size);
}
void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    noteAllocation();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void **out, std::size_t alignment, std::size_t size) noexcept
{
    noteAllocation();
    void *pointer = __libc_memalign(alignment, size);
    if (!pointer)
        return 12; // ENOMEM
    *out = pointer;
    return 0;
}
void free(void *pointer) noexcept { __libc_free(pointer); }
}
#endif
