#pragma once
// One object per thread, made at the thread's first use by `make` and never destroyed.
//
// Not a thread_local object: mingw-w64 frees the storage of thread_local objects (emutls) before
// it runs their destructors when a thread ends, so a destructor writes into freed heap memory
// and corrupts the heap. A thread_local pointer has no destructor; what a thread leaves behind
// when it ends is the object itself (the component runs on its host's few UI threads).
namespace qb {

template <class T, class Make>
T& perThread(Make&& make) {
    thread_local T* object = nullptr;
    if (!object) object = new T(make());
    return *object;
}

template <class T>
T& perThread() {
    thread_local T* object = nullptr;
    if (!object) object = new T();
    return *object;
}

}  // namespace qb
