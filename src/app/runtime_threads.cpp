// The C++ runtime asks the thread library for eight things: a mutex (the
// exception allocator's emergency pool), a once flag and a thread-specific key
// (the per-thread exception globals, kept through emulated TLS). The posix
// thread library that would answer them brings 25 KB of thread, condition and
// read-write lock code into the installer; these answer them with the system's
// own primitives, in the types that library's headers give the runtime
// (pthread_mutex_t an intptr_t whose static initializer is -1, pthread_once_t a
// long starting at 0, pthread_key_t an unsigned), and take its place at link
// time.

#include <windows.h>

#include <cerrno>
#include <cstdint>

namespace {

// A mutex is a slim reader/writer lock kept in the mutex's own storage (it is
// the size of a pointer, zero when free). A statically initialized one holds
// -1 until first used; no lock state is ever all ones, so the swap to an
// unlocked lock happens once, before anyone holds it.
SRWLOCK* LockOf(intptr_t* mutex) {
    InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(mutex), nullptr,
                                      reinterpret_cast<void*>(intptr_t{-1}));
    return reinterpret_cast<SRWLOCK*>(mutex);
}

enum : long { kOnceNotRun = 0, kOnceRunning = 1, kOnceDone = 2 };

}  // namespace

extern "C" {

int pthread_mutex_init(intptr_t* mutex, const void* /*attributes: the runtime passes none*/) {
    *mutex = 0;
    return 0;
}

int pthread_mutex_destroy(intptr_t* /*mutex: a slim lock holds no resources*/) { return 0; }

int pthread_mutex_lock(intptr_t* mutex) {
    AcquireSRWLockExclusive(LockOf(mutex));
    return 0;
}

int pthread_mutex_unlock(intptr_t* mutex) {
    ReleaseSRWLockExclusive(LockOf(mutex));
    return 0;
}

int pthread_once(long* once, void (*initialize)()) {
    const long seen = InterlockedCompareExchange(once, kOnceRunning, kOnceNotRun);
    if (seen == kOnceNotRun) {
        initialize();
        InterlockedExchange(once, kOnceDone);
    } else {
        while (InterlockedCompareExchange(once, kOnceDone, kOnceDone) != kOnceDone) SwitchToThread();
    }
    return 0;
}

// Fiber-local storage calls a key's destructor with its value when a thread
// ends, as thread-specific data does.
int pthread_key_create(unsigned* key, void (*destroy)(void*)) {
    const DWORD index = FlsAlloc(reinterpret_cast<PFLS_CALLBACK_FUNCTION>(destroy));
    if (index == FLS_OUT_OF_INDEXES) return EAGAIN;
    *key = index;
    return 0;
}

// The runtime reads the key while an exception is thrown: the thread's last
// error, which the code throwing may still want, is kept.
void* pthread_getspecific(unsigned key) {
    const DWORD lastError = GetLastError();
    void* value = FlsGetValue(key);
    SetLastError(lastError);
    return value;
}

int pthread_setspecific(unsigned key, const void* value) {
    const DWORD lastError = GetLastError();
    const BOOL stored = FlsSetValue(key, const_cast<void*>(value));
    SetLastError(lastError);
    return stored ? 0 : ENOMEM;
}

}  // extern "C"
