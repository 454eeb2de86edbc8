// The thread functions the C++ runtime calls, under the names it calls them
// by, on our own primitives (threads_win.h). Linked as an object file into
// the shipped programs only, they come before the thread library, which so
// contributes nothing. Whatever else of that library a program comes to
// need (making threads, say) would bring its objects in again, and with
// them a second definition of these names: the link then fails, and says so.
#include <pthread.h>

#include "base/runtime/threads_win.h"

using namespace zub;

extern "C" {

int pthread_mutex_init(pthread_mutex_t* m, const pthread_mutexattr_t*) { return threads::MutexInit(m); }
int pthread_mutex_destroy(pthread_mutex_t* m) { return threads::MutexDestroy(m); }
int pthread_mutex_lock(pthread_mutex_t* m) { return threads::MutexLock(m); }
int pthread_mutex_trylock(pthread_mutex_t* m) { return threads::MutexTryLock(m); }
int pthread_mutex_unlock(pthread_mutex_t* m) { return threads::MutexUnlock(m); }

int pthread_once(pthread_once_t* once, void (*routine)(void)) { return threads::RunOnce(once, routine); }

int pthread_cond_init(pthread_cond_t* c, const pthread_condattr_t*) { return threads::CondInit(c); }
int pthread_cond_destroy(pthread_cond_t* c) { return threads::CondDestroy(c); }
int pthread_cond_wait(pthread_cond_t* c, pthread_mutex_t* m) { return threads::CondWait(c, m); }
int pthread_cond_signal(pthread_cond_t* c) { return threads::CondSignal(c); }
int pthread_cond_broadcast(pthread_cond_t* c) { return threads::CondBroadcast(c); }

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) { return threads::KeyCreate(key, destructor); }
int pthread_key_delete(pthread_key_t key) { return threads::KeyDelete(key); }
void* pthread_getspecific(pthread_key_t key) { return threads::KeyValue(key); }
int pthread_setspecific(pthread_key_t key, const void* value) { return threads::SetKeyValue(key, value); }

}  // extern "C"
