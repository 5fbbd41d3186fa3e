#pragma once
// The largest single heap block asked for while a step runs, for tests that a reader allocates
// nothing large for data that is not there. Only the address sanitizer lets a test watch every
// allocation (malloc and new alike, Qt's included); elsewhere Available() is false and such a
// test skips.
#include <atomic>
#include <cstddef>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define KESTRO_WATCHES_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTRO_WATCHES_ALLOCATIONS 1
#endif
#endif

#ifdef KESTRO_WATCHES_ALLOCATIONS
// Part of the sanitizer's runtime; its header does not come with every compiler.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*MallocHook)(const volatile void*,
                                                                            size_t),
                                                         void (*FreeHook)(const volatile void*));
#endif

namespace LargestAllocation {

inline std::atomic<bool> Watching{false};
inline std::atomic<size_t> Largest{0};

inline bool Available() {
#ifdef KESTRO_WATCHES_ALLOCATIONS
    // The sanitizer keeps a handful of hooks for the life of the process: install ours once.
    static const bool Installed =
        __sanitizer_install_malloc_and_free_hooks(
            [](const volatile void*, size_t Size) {
                if (!Watching.load(std::memory_order_relaxed)) return;
                size_t Seen = Largest.load(std::memory_order_relaxed);
                while (Size > Seen && !Largest.compare_exchange_weak(Seen, Size)) {
                }
            },
            [](const volatile void*) {}) != 0;
    return Installed;
#else
    return false;
#endif
}

// The largest block Step asked for.
inline size_t During(const std::function<void()>& Step) {
    Largest = 0;
    Watching = true;
    try {
        Step();
    } catch (...) {
        Watching = false;
        throw;
    }
    Watching = false;
    return Largest;
}

}  // namespace LargestAllocation
