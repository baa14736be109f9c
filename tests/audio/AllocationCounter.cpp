#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
thread_local bool tCounting = false;
thread_local uint64_t tRefuseAbove = 0;
std::atomic<uint64_t> gCounted{0};
std::atomic<uint64_t> gCountedFrees{0};

void* Allocate(std::size_t size)
{
    if (tCounting)
        gCounted.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void Release(void* p) noexcept
{
    if (tCounting && p)
        gCountedFrees.fetch_add(1, std::memory_order_relaxed);
    std::free(p);
}

void* AllocateOrRefuse(std::size_t size) noexcept
{
    if (tRefuseAbove != 0 && size > tRefuseAbove)
        return nullptr;
    if (tCounting)
        gCounted.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
} // namespace

void SetCountAllocationsOnThisThread(bool count) { tCounting = count; }

uint64_t GetCountedAllocations() { return gCounted.load(); }

uint64_t GetCountedFrees() { return gCountedFrees.load(); }

void SetRefuseAllocationsAbove(uint64_t bytes) { tRefuseAbove = bytes; }

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
// The non-throwing forms come from the same heap as the deletes below free to.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrRefuse(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrRefuse(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
