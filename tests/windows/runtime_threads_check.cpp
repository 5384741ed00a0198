// Checks the stub's stand-ins for the thread library on real threads: it links
// them alone, as the stub does (GoogleTest would bring the library itself back).
// Exits 0 when every check holds, else prints the first that failed.

#include <windows.h>

#include <cstdint>
#include <cstdio>

extern "C" {
int pthread_mutex_lock(intptr_t* mutex);
int pthread_mutex_unlock(intptr_t* mutex);
int pthread_once(long* once, void (*initialize)());
int pthread_key_create(unsigned* key, void (*destroy)(void*));
void* pthread_getspecific(unsigned key);
int pthread_setspecific(unsigned key, const void* value);
}

namespace {

intptr_t counterLock = -1;  // as PTHREAD_MUTEX_INITIALIZER leaves it
long counter = 0;           // changed without atomics: only the lock keeps it whole
long onceFlag = 0;
long onceRuns = 0;
unsigned key = 0;
long destroyed = 0;

void CountOnce() {
    Sleep(20);  // the others arrive while it runs, and must wait for it
    InterlockedIncrement(&onceRuns);
}

void Destroy(void* value) { InterlockedExchangeAdd(&destroyed, static_cast<long>(reinterpret_cast<intptr_t>(value))); }

DWORD WINAPI Work(void*) {
    pthread_once(&onceFlag, CountOnce);
    if (onceRuns != 1) return 1;
    for (int i = 0; i < 100000; ++i) {
        pthread_mutex_lock(&counterLock);
        const long seen = counter;
        counter = seen + 1;
        pthread_mutex_unlock(&counterLock);
    }
    pthread_setspecific(key, reinterpret_cast<void*>(intptr_t{7}));
    return pthread_getspecific(key) == reinterpret_cast<void*>(intptr_t{7}) ? 0 : 2;
}

int Fail(const char* what) {
    std::printf("runtime threads: %s\n", what);
    return 1;
}

}  // namespace

int main() {
    if (pthread_key_create(&key, Destroy) != 0) return Fail("no key");
    HANDLE threads[4];
    for (HANDLE& thread : threads) thread = CreateThread(nullptr, 0, Work, nullptr, 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads) {
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        if (code != 0) return Fail(code == 1 ? "a thread went on before the once function had run" : "a key's value was lost");
    }
    if (onceRuns != 1) return Fail("the once function ran more than once");
    if (counter != 400000) return Fail("the mutex let two threads in");
    if (destroyed != 4 * 7) return Fail("a key's destructor was not called as its thread ended");
    SetLastError(1234);
    if (pthread_getspecific(key) != nullptr || GetLastError() != 1234) return Fail("reading a key changed the last error");
    std::printf("runtime threads: all checks hold\n");
    return 0;
}
