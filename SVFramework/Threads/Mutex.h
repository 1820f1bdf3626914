// The framework's lock: a re-entrant mutex (the thread that holds it may enter it again and
// must leave it as often), and the scoped lock that holds one for a block.
#pragma once

#include <mutex>

namespace SV {

class Mutex
{
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    virtual ~Mutex() = default;

    void Enter() { mLock.lock(); }
    void Leave() { mLock.unlock(); }
    // Enters only when no other thread holds the mutex; true when entered.
    bool TryEnter() { return mLock.try_lock(); }

    // The standard names, so that the standard scoped locks and condition variables take it.
    void lock() { Enter(); }
    void unlock() { Leave(); }
    bool try_lock() { return TryEnter(); }

private:
    std::recursive_mutex mLock;
};

class MutexLock
{
public:
    explicit MutexLock(Mutex& mutex) : mMutex(mutex) { mMutex.Enter(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock() { mMutex.Leave(); }

private:
    Mutex& mMutex;
};

} // namespace SV
