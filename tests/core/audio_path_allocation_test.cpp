// The audio path allocates nothing once the work buffers fit the block: this
// test binary replaces the global allocation functions with counting ones
// (and, where no sanitizer owns the C allocator, malloc and its kin, which
// would catch the C library's formatting of the debug lines) and counts
// during `process` only.
#include "EffectFixture.h"

#include "pal/DebugTrace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

void countAllocation()
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}

void* allocate(std::size_t size)
{
    countAllocation();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    countAllocation();
    const std::size_t a = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    countAllocation();
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    countAllocation();
    return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The C allocator, counted and passed on to the C library's own.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);

void* malloc(std::size_t size)
{
    countAllocation();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    countAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size)
{
    countAllocation();
    return __libc_realloc(p, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    countAllocation();
    return __libc_memalign(alignment, size);
}
}
#endif

using namespace testing_support;

namespace {

struct Case
{
    const char* name;
    int32_t blockSize;
    std::vector<int32_t> inputs;
    bool sideChain;
    bool changesEveryBlock;
    bool debugOutput;
};

// Runs blocks as a host does and returns the allocations made inside
// `process`; queues and input samples are prepared outside the count.
long allocationsDuringProcess(const Case& c)
{
    Effect e;
    Host host(*e, c.blockSize, c.inputs, {2});
    host.change(PARAM_SIDECH, c.sideChain ? 1.0 : 0.0);
    host.block(sine(0.5, 1000));

    long counted = 0;
    for (int block = 0; block < 40; ++block) {
        if (c.changesEveryBlock) {
            for (uint32_t id = 0; id < PARAM_COUNT; ++id)
                host.change(id, 0.05 + 0.9 * ((block + id) % 7) / 6.0, block % 3);
            host.change(PARAM_ENABLE, 1.0);
            host.change(PARAM_SIDECH, c.sideChain ? 1.0 : 0.0);
        }
        for (int32 b = 0; b < host.data.numInputs; ++b) {
            for (int32 ch = 0; ch < host.data.inputs[b].numChannels; ++ch) {
                float* in = host.data.inputs[b].channelBuffers32[ch];
                for (int32 i = 0; i < host.data.numSamples; ++i)
                    in[i] = static_cast<float>(0.8 * std::sin(0.05 * (host.position + i)) * (block % 5 == 4 ? 0 : 1));
            }
        }
        g_allocations = 0;
        g_counting = true;
        e->process(host.data);
        g_counting = false;
        counted += g_allocations;
        host.changes.clearQueue();
        host.position += host.data.numSamples;
    }
    return counted;
}

TEST(AudioPath, AllocatesNothingOnceTheBuffersFitTheBlock)
{
    const Case cases[] = {
        {"steady stereo blocks", 512, {2, 2}, false, false, false},
        {"parameter changes in every block", 512, {2, 2}, false, true, false},
        {"changes with the debug output on", 256, {2, 2}, false, true, true},
        {"side chain, stereo", 480, {2, 2}, true, true, false},
        {"side chain, mono buses", 333, {1, 1}, true, true, false},
        {"the longest block the buffers hold", 4096, {2, 2}, false, true, false},
        {"single samples", 1, {2, 2}, false, true, false},
    };
    for (const Case& c : cases) {
        if (c.debugOutput)
            setenv("OL7T_DEBUG", "1", 1);
        EXPECT_EQ(allocationsDuringProcess(c), 0) << c.name;
        unsetenv("OL7T_DEBUG");
    }
}

TEST(AudioPath, TheCountingAllocatorSeesAllocations)
{
    // Guards the test above against counting nothing at all.
    g_allocations = 0;
    g_counting = true;
    auto* p = new std::vector<double>(16);
    void* q = std::malloc(64);
    g_counting = false;
    delete p;
    std::free(q);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    EXPECT_GE(g_allocations, 3);
#else
    EXPECT_GE(g_allocations, 2);
#endif
}

} // namespace
