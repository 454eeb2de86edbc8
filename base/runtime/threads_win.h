// The few thread primitives the C++ runtime asks of its thread layer (static
// locals, the exception heap, thread-local storage of the unwinder), on the
// system's own: critical sections, condition variables and TLS slots. The
// shipped programs give them to the runtime under the names it calls
// (runtime/pthread_names_win.cpp), so that they link no thread library of
// their own; here they have our names, to be tested beside that library.
//
// The words have the layouts the runtime's headers give them: a mutex or a
// condition is one pointer-sized word that holds a static initializer (-1,
// or -2 and -3 for a mutex of another kind) until first use and then the
// address of the system object made for it; a once flag is a long, 0 until
// its routine has run. Every function returns 0 or an errno code.
#pragma once

#include <cstdint>

namespace zub::threads {

// Every mutex is recursive (a critical section); locking one the caller
// holds again succeeds, where a plain mutex would deadlock.
int MutexInit(intptr_t* mutex);
int MutexDestroy(intptr_t* mutex);
int MutexLock(intptr_t* mutex);
int MutexTryLock(intptr_t* mutex);  // EBUSY when another thread holds it
int MutexUnlock(intptr_t* mutex);   // EPERM when it was never locked

// Runs `routine` once per flag; the other callers wait until it has run. A
// routine that leaves by an exception has not run: the next caller runs it.
int RunOnce(long* once, void (*routine)());

int CondInit(intptr_t* cond);
int CondDestroy(intptr_t* cond);
// Releases `mutex`, waits for a signal and takes it again; like every such
// wait it may also return without one.
int CondWait(intptr_t* cond, intptr_t* mutex);
int CondSignal(intptr_t* cond);
int CondBroadcast(intptr_t* cond);

// A slot per thread; `destructor` (may be null) runs at a thread's end for
// its value when that is not null. Reading a slot keeps the thread's last
// error code, which the caller may be about to read.
int KeyCreate(unsigned* key, void (*destructor)(void*));
int KeyDelete(unsigned key);
void* KeyValue(unsigned key);
int SetKeyValue(unsigned key, const void* value);

}  // namespace zub::threads
