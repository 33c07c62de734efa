// The audio path allocates nothing, takes no lock and makes no system call:
// this test binary replaces the global allocation functions with counting
// ones and, where no sanitizer owns them, malloc and its kin (which would
// catch the C library's formatting of the debug lines) and the mutex and
// reader-writer lock entry points. It runs the blocks on a thread of its own
// whose system calls a seccomp filter turns into signals, counted and then
// carried out. Everything is counted during `process` only.
#include "EffectFixture.h"

#include "pal/DebugTrace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>

// Locks and system calls are counted on Linux, where no sanitizer owns the
// lock functions and signals.
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define COUNTS_LOCKS_AND_SYSTEM_CALLS 1
#include <dlfcn.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>
#endif

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
std::atomic<long> g_locks{0};
std::atomic<long> g_systemCalls{0};

void countLock()
{
    if (g_counting.load(std::memory_order_relaxed))
        g_locks.fetch_add(1, std::memory_order_relaxed);
}

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

#ifdef COUNTS_LOCKS_AND_SYSTEM_CALLS
// Locks, counted and passed on to the C library's own.
namespace {

template <class F>
F realFunction(F& cache, const char* name)
{
    if (!cache)
        cache = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
    return cache;
}

} // namespace

extern "C" {
int pthread_mutex_lock(pthread_mutex_t* m)
{
    static int (*real)(pthread_mutex_t*) = nullptr;
    countLock();
    return realFunction(real, "pthread_mutex_lock")(m);
}
int pthread_mutex_trylock(pthread_mutex_t* m)
{
    static int (*real)(pthread_mutex_t*) = nullptr;
    countLock();
    return realFunction(real, "pthread_mutex_trylock")(m);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* l)
{
    static int (*real)(pthread_rwlock_t*) = nullptr;
    countLock();
    return realFunction(real, "pthread_rwlock_rdlock")(l);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* l)
{
    static int (*real)(pthread_rwlock_t*) = nullptr;
    countLock();
    return realFunction(real, "pthread_rwlock_wrlock")(l);
}

// Makes a system call from the one place the filter below lets through.
long rawSystemCall(long number, long a1, long a2, long a3, long a4, long a5, long a6);
extern const char rawSystemCallSite[];
}

asm(".text\n"
    ".globl rawSystemCall\n"
    "rawSystemCall:\n"
    "  mov %rdi, %rax\n"
    "  mov %rsi, %rdi\n"
    "  mov %rdx, %rsi\n"
    "  mov %rcx, %rdx\n"
    "  mov %r8, %r10\n"
    "  mov %r9, %r8\n"
    "  mov 8(%rsp), %r9\n"
    ".globl rawSystemCallSite\n"
    "rawSystemCallSite:\n"
    "  syscall\n"
    "  ret\n");

namespace {

// Every system call of the filtered thread arrives here instead: counted while
// `process` runs, then made for real, so the thread works as before.
void onSystemCall(int, siginfo_t* info, void* context)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_systemCalls.fetch_add(1, std::memory_order_relaxed);
    greg_t* r = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
    r[REG_RAX] = rawSystemCall(info->si_syscall, r[REG_RDI], r[REG_RSI], r[REG_RDX], r[REG_R10], r[REG_R8], r[REG_R9]);
}

// Turns every system call of the calling thread into SIGSYS, except those
// made at rawSystemCallSite and the return from the signal handler. False
// where the system refuses filters.
bool trapSystemCallsOfThisThread()
{
    static const bool handlerInstalled = [] {
        struct sigaction action{};
        action.sa_sigaction = onSystemCall;
        action.sa_flags = SA_SIGINFO;
        return sigaction(SIGSYS, &action, nullptr) == 0;
    }();
    // The kernel reports the address after the syscall instruction (2 bytes).
    const uint64_t site = reinterpret_cast<uint64_t>(rawSystemCallSite) + 2;
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_rt_sigreturn, 4, 0),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, instruction_pointer)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, uint32_t(site), 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, instruction_pointer) + 4),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, uint32_t(site >> 32), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP),
    };
    sock_fprog filter{static_cast<unsigned short>(sizeof program / sizeof program[0]), program};
    return handlerInstalled && prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
           && syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter) == 0;
}

} // namespace
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

struct Counts
{
    long allocations = 0, locks = 0, systemCalls = 0;
    bool systemCallsTrapped = false;
};

// Runs blocks as a host does and counts what happens inside `process`;
// queues and input samples are prepared outside the count.
void runBlocks(const Case& c, Counts& counts)
{
    Effect e;
    Host host(*e, c.blockSize, c.inputs, {2});
    host.change(PARAM_SIDECH, c.sideChain ? 1.0 : 0.0);
    host.block(sine(0.5, 1000));

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
        g_allocations = g_locks = g_systemCalls = 0;
        g_counting = true;
        e->process(host.data);
        g_counting = false;
        counts.allocations += g_allocations;
        counts.locks += g_locks;
        counts.systemCalls += g_systemCalls;
        host.changes.clearQueue();
        host.position += host.data.numSamples;
    }
}

// The blocks on an audio thread of their own, with its system calls trapped
// where the system allows it.
Counts countDuringProcess(const Case& c)
{
    Counts counts;
    std::thread audio([&] {
#ifdef COUNTS_LOCKS_AND_SYSTEM_CALLS
        counts.systemCallsTrapped = trapSystemCallsOfThisThread();
#endif
        runBlocks(c, counts);
    });
    audio.join();
    return counts;
}

TEST(AudioPath, NoAllocationLockOrSystemCall)
{
    const Case cases[] = {
        {"steady stereo blocks", 512, {2, 2}, false, false, false},
        {"parameter changes in every block", 512, {2, 2}, false, true, false},
        {"changes with the debug output on", 256, {2, 2}, false, true, true},
        {"side chain, stereo", 480, {2, 2}, true, true, false},
        {"side chain, mono buses", 333, {1, 1}, true, true, false},
        {"long blocks", 4096, {2, 2}, false, true, false},
        {"a block longer than any before", 8192, {2, 2}, false, true, false},
        {"single samples", 1, {2, 2}, false, true, false},
    };
    for (const Case& c : cases) {
        if (c.debugOutput)
            setenv("OL7T_DEBUG", "1", 1);
        const Counts counts = countDuringProcess(c);
        unsetenv("OL7T_DEBUG");
        EXPECT_EQ(counts.allocations, 0) << c.name;
        EXPECT_EQ(counts.locks, 0) << c.name;
        // Debug lines, when asked for, are written from where they arise.
        if (counts.systemCallsTrapped && !c.debugOutput) {
            EXPECT_EQ(counts.systemCalls, 0) << c.name;
        }
    }
}

TEST(AudioPath, TheCountersSeeWhatTheyCount)
{
    // Guards the test above against counting nothing at all.
    g_allocations = 0;
    g_counting = true;
    auto* p = new std::vector<double>(16);
    void* q = std::malloc(64);
    g_counting = false;
    delete p;
    std::free(q);
#ifdef COUNTS_LOCKS_AND_SYSTEM_CALLS
    EXPECT_GE(g_allocations, 3);

    std::mutex m;
    long locks = 0, systemCalls = 0;
    bool trapped = false;
    std::thread audio([&] {
        trapped = trapSystemCallsOfThisThread();
        g_locks = g_systemCalls = 0;
        g_counting = true;
        m.lock();
        m.unlock();
        syscall(SYS_getpid);
        g_counting = false;
        locks = g_locks;
        systemCalls = g_systemCalls;
    });
    audio.join();
    EXPECT_EQ(locks, 1);
    if (!trapped)
        GTEST_SKIP() << "this system refuses seccomp filters: system calls are not counted";
    EXPECT_EQ(systemCalls, 1);
#else
    EXPECT_GE(g_allocations, 2);
#endif
}

} // namespace
