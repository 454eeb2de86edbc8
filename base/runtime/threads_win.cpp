#include "base/runtime/threads_win.h"

#include <windows.h>

#include <cerrno>

// The C runtime's registry of TLS slot destructors, run for each thread as
// it ends (the same one the runtime's own thread model uses).
extern "C" int __mingwthr_key_dtor(DWORD key, void (*destructor)(void*));
extern "C" int __mingwthr_remove_key_dtor(DWORD key);

namespace zub::threads {
namespace {

// A word still holding a static initializer (or zero) has no system object yet.
bool Unmade(intptr_t value) { return value >= -3 && value <= 0; }

intptr_t Load(intptr_t* word) {
    return reinterpret_cast<intptr_t>(
        InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(word), nullptr, nullptr));
}

// Puts `made` into an unmade word, unless another thread was first: then the
// word's object is kept and `made` is handed back to be undone.
void* Publish(intptr_t* word, intptr_t seen, void* made) {
    void* before = InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(word), made,
                                                     reinterpret_cast<void*>(seen));
    return before == reinterpret_cast<void*>(seen) ? made : before;
}

template <typename T>
T* Allocate() {
    return static_cast<T*>(HeapAlloc(GetProcessHeap(), 0, sizeof(T)));
}
void Release(void* memory) { HeapFree(GetProcessHeap(), 0, memory); }

// The system object behind a word, made (by `init`) at the word's first use;
// null only when there was no memory for it. When another thread was first,
// its object is kept and ours undone (by `undo`, when there is one).
template <typename T>
T* MadeOnFirstUse(intptr_t* word, void (*init)(T*), void (*undo)(T*)) {
    intptr_t value = Load(word);
    while (Unmade(value)) {
        T* made = Allocate<T>();
        if (!made) return nullptr;
        init(made);
        void* kept = Publish(word, value, made);
        if (kept == made) return made;
        if (undo) undo(made);
        Release(made);
        value = reinterpret_cast<intptr_t>(kept);
    }
    return reinterpret_cast<T*>(value);
}

CRITICAL_SECTION* Section(intptr_t* mutex) {
    return MadeOnFirstUse<CRITICAL_SECTION>(
        mutex, [](CRITICAL_SECTION* made) { InitializeCriticalSection(made); },
        [](CRITICAL_SECTION* made) { DeleteCriticalSection(made); });
}

CONDITION_VARIABLE* Condition(intptr_t* cond) {
    return MadeOnFirstUse<CONDITION_VARIABLE>(
        cond, [](CONDITION_VARIABLE* made) { InitializeConditionVariable(made); }, nullptr);
}

}  // namespace

int MutexInit(intptr_t* mutex) {
    *mutex = -1;
    return Section(mutex) ? 0 : ENOMEM;
}

int MutexDestroy(intptr_t* mutex) {
    const intptr_t value = Load(mutex);
    *mutex = -1;
    if (Unmade(value)) return 0;
    auto* section = reinterpret_cast<CRITICAL_SECTION*>(value);
    DeleteCriticalSection(section);
    Release(section);
    return 0;
}

int MutexLock(intptr_t* mutex) {
    CRITICAL_SECTION* section = Section(mutex);
    if (!section) return ENOMEM;
    EnterCriticalSection(section);
    return 0;
}

int MutexTryLock(intptr_t* mutex) {
    CRITICAL_SECTION* section = Section(mutex);
    if (!section) return ENOMEM;
    return TryEnterCriticalSection(section) ? 0 : EBUSY;
}

int MutexUnlock(intptr_t* mutex) {
    const intptr_t value = Load(mutex);
    if (Unmade(value)) return EPERM;
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(value));
    return 0;
}

int RunOnce(long* once, void (*routine)()) {
    enum : LONG { kNotRun = 0, kRunning = 1, kDone = 2 };
    auto* flag = reinterpret_cast<volatile LONG*>(once);
    for (;;) {
        const LONG state = InterlockedCompareExchange(flag, kRunning, kNotRun);
        if (state == kDone) return 0;
        if (state == kNotRun) {
            // Reset when the routine leaves by an exception, so that it counts as not run.
            struct TReset {
                volatile LONG* flag;
                bool done = false;
                ~TReset() { InterlockedExchange(flag, done ? kDone : kNotRun); }
            } reset{flag};
            routine();
            reset.done = true;
            return 0;
        }
        SwitchToThread();  // another thread runs it: wait for its end
    }
}

int CondInit(intptr_t* cond) {
    *cond = -1;
    return Condition(cond) ? 0 : ENOMEM;
}

int CondDestroy(intptr_t* cond) {
    const intptr_t value = Load(cond);
    *cond = -1;
    if (!Unmade(value)) Release(reinterpret_cast<void*>(value));
    return 0;
}

int CondWait(intptr_t* cond, intptr_t* mutex) {
    CONDITION_VARIABLE* condition = Condition(cond);
    const intptr_t section = Load(mutex);
    if (!condition) return ENOMEM;
    if (Unmade(section)) return EPERM;  // the caller does not hold it
    return SleepConditionVariableCS(condition, reinterpret_cast<CRITICAL_SECTION*>(section), INFINITE) ? 0 : EINVAL;
}

// A condition that no one has waited for has no object yet, and no waiter to wake.
int CondSignal(intptr_t* cond) {
    const intptr_t value = Load(cond);
    if (!Unmade(value)) WakeConditionVariable(reinterpret_cast<CONDITION_VARIABLE*>(value));
    return 0;
}

int CondBroadcast(intptr_t* cond) {
    const intptr_t value = Load(cond);
    if (!Unmade(value)) WakeAllConditionVariable(reinterpret_cast<CONDITION_VARIABLE*>(value));
    return 0;
}

int KeyCreate(unsigned* key, void (*destructor)(void*)) {
    const DWORD slot = TlsAlloc();
    if (slot == TLS_OUT_OF_INDEXES) return EAGAIN;
    if (destructor && __mingwthr_key_dtor(slot, destructor) != 0) {
        TlsFree(slot);
        return ENOMEM;
    }
    *key = slot;
    return 0;
}

int KeyDelete(unsigned key) {
    __mingwthr_remove_key_dtor(key);
    return TlsFree(key) ? 0 : EINVAL;
}

void* KeyValue(unsigned key) {
    const DWORD error = GetLastError();
    void* value = TlsGetValue(key);
    SetLastError(error);
    return value;
}

int SetKeyValue(unsigned key, const void* value) { return TlsSetValue(key, const_cast<void*>(value)) ? 0 : EINVAL; }

}  // namespace zub::threads
