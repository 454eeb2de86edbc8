// The thread primitives the shipped programs give the C++ runtime, on words
// laid out as the runtime's static initializers leave them.
#include "base/runtime/threads_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <thread>
#include <vector>

namespace zub::threads {
namespace {

constexpr intptr_t kStaticMutex = -1, kStaticRecursiveMutex = -2, kStaticCond = -1;

template <typename Body>
void OnThreads(int count, Body body) {
    std::vector<std::thread> workers;
    for (int i = 0; i < count; ++i) workers.emplace_back(body, i);
    for (std::thread& w : workers) w.join();
}

TEST(RuntimeThreads, MutexFromItsStaticInitializerExcludesOtherThreads) {
    intptr_t mutex = kStaticMutex;
    long counter = 0;  // plain: only the mutex keeps the increments whole
    OnThreads(4, [&](int) {
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(MutexLock(&mutex), 0);
            counter = counter + 1;
            ASSERT_EQ(MutexUnlock(&mutex), 0);
        }
    });
    EXPECT_EQ(counter, 80000);

    ASSERT_EQ(MutexLock(&mutex), 0);
    int elsewhere = -1;
    std::thread([&] { elsewhere = MutexTryLock(&mutex); }).join();
    EXPECT_EQ(elsewhere, EBUSY);
    EXPECT_EQ(MutexTryLock(&mutex), 0);  // the holder again: recursive
    EXPECT_EQ(MutexUnlock(&mutex), 0);
    EXPECT_EQ(MutexUnlock(&mutex), 0);
    EXPECT_EQ(MutexDestroy(&mutex), 0);
    EXPECT_EQ(mutex, kStaticMutex);

    intptr_t never = kStaticRecursiveMutex;
    EXPECT_EQ(MutexUnlock(&never), EPERM);
    EXPECT_EQ(MutexDestroy(&never), 0);
    intptr_t made = 0;
    ASSERT_EQ(MutexInit(&made), 0);
    EXPECT_GT(made, 0);
    EXPECT_EQ(MutexDestroy(&made), 0);
}

TEST(RuntimeThreads, MutexMadeByRacingFirstUsersIsOne) {
    for (int round = 0; round < 20; ++round) {
        intptr_t mutex = kStaticMutex;
        std::atomic<int> inside{0}, overlaps{0};
        std::atomic<bool> go{false};
        std::vector<std::thread> workers;
        for (int i = 0; i < 4; ++i)
            workers.emplace_back([&] {
                while (!go) {
                }
                MutexLock(&mutex);
                if (inside.fetch_add(1) != 0) ++overlaps;
                Sleep(1);
                inside.fetch_sub(1);
                MutexUnlock(&mutex);
            });
        go = true;  // all four make the critical section at once
        for (std::thread& w : workers) w.join();
        EXPECT_EQ(overlaps, 0);
        MutexDestroy(&mutex);
    }
}

std::atomic<int> onceRuns{0};
std::atomic<bool> onceFinished{false};
void SlowOnce() {
    ++onceRuns;
    Sleep(50);
    onceFinished = true;
}

int throwingCalls = 0;
void ThrowsTheFirstTime() {
    if (++throwingCalls == 1) throw std::runtime_error("not now");
}

TEST(RuntimeThreads, OnceRunsOneRoutineAndOthersWaitForIt) {
    long once = 0;
    std::atomic<int> sawUnfinished{0};
    OnThreads(4, [&](int) {
        EXPECT_EQ(RunOnce(&once, SlowOnce), 0);
        if (!onceFinished) ++sawUnfinished;
    });
    EXPECT_EQ(onceRuns, 1);
    EXPECT_EQ(sawUnfinished, 0);
    EXPECT_EQ(RunOnce(&once, SlowOnce), 0);
    EXPECT_EQ(onceRuns, 1);

    long retried = 0;
    EXPECT_THROW(RunOnce(&retried, ThrowsTheFirstTime), std::runtime_error);
    EXPECT_EQ(RunOnce(&retried, ThrowsTheFirstTime), 0);  // it had not run: it runs now
    EXPECT_EQ(RunOnce(&retried, ThrowsTheFirstTime), 0);
    EXPECT_EQ(throwingCalls, 2);
}

TEST(RuntimeThreads, ConditionWakesItsWaitersWithTheMutexHeld) {
    intptr_t mutex = kStaticMutex, cond = kStaticCond;
    EXPECT_EQ(CondSignal(&cond), 0);  // no one waits: nothing to wake, nothing made
    EXPECT_EQ(CondBroadcast(&cond), 0);
    EXPECT_EQ(cond, kStaticCond);

    bool ready = false;
    std::atomic<int> woken{0};
    std::thread announcer([&] {
        // Until every waiter sleeps on the condition; then the change and the broadcast.
        Sleep(100);
        MutexLock(&mutex);
        ready = true;
        CondBroadcast(&cond);
        MutexUnlock(&mutex);
    });
    OnThreads(3, [&](int) {
        MutexLock(&mutex);
        while (!ready) EXPECT_EQ(CondWait(&cond, &mutex), 0);
        EXPECT_EQ(MutexTryLock(&mutex), 0);  // held again on return
        MutexUnlock(&mutex);
        ++woken;
        MutexUnlock(&mutex);
    });
    announcer.join();
    EXPECT_EQ(woken, 3);
    EXPECT_EQ(CondDestroy(&cond), 0);
    EXPECT_EQ(MutexDestroy(&mutex), 0);
}

std::atomic<int> destroyed{0};
std::atomic<intptr_t> destroyedValue{0};
void Destroy(void* value) {
    ++destroyed;
    destroyedValue = reinterpret_cast<intptr_t>(value);
}

TEST(RuntimeThreads, KeysHoldAValuePerThreadAndDestroyItAtTheThreadsEnd) {
    unsigned key = 0;
    ASSERT_EQ(KeyCreate(&key, Destroy), 0);
    ASSERT_EQ(SetKeyValue(key, reinterpret_cast<void*>(1)), 0);
    void* seenElsewhere = reinterpret_cast<void*>(-1);
    std::thread([&] {
        seenElsewhere = KeyValue(key);
        SetKeyValue(key, reinterpret_cast<void*>(42));
    }).join();
    EXPECT_EQ(seenElsewhere, nullptr);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(destroyedValue, 42);
    std::thread([&] { KeyValue(key); }).join();  // a null value is not destroyed
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(KeyValue(key), reinterpret_cast<void*>(1));

    // The runtime reads its slots between a failing call and the caller's
    // look at the error code.
    SetLastError(ERROR_SHARING_VIOLATION);
    KeyValue(key);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));

    EXPECT_EQ(KeyDelete(key), 0);
}

}  // namespace
}  // namespace zub::threads
