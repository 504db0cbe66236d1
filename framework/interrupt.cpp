#include <map>
#include <mutex>
#include <shared_mutex>

#include "framework/interrupt.h"
#include "framework/interrupt_cleanup.h"

// The armed cleanups, and the lock that holds interruptions back: every hold shares it, and the
// interrupt handler takes it alone before it cleans up, never to give it back. Holds of different
// threads thus never wait for each other, only the handler for them.
namespace {

struct Cleanup {
    std::string path;
    std::string message;
};

std::shared_mutex& Holds() {
    static std::shared_mutex holds;
    return holds;
}

// Guards the list of armed cleanups.
std::mutex& ListLock() {
    static std::mutex lock;
    return lock;
}

// By key, which grows, so in the order they were armed.
std::map<int, Cleanup>& Armed() {
    static std::map<int, Cleanup> armed;
    return armed;
}

int g_nextKey = 0;

// How deep this thread's holds are nested: the lock is shared once, by the outermost.
thread_local int t_holdDepth = 0;

}  // namespace

InterruptHold::InterruptHold() {
    if (t_holdDepth++ == 0) {
        Holds().lock_shared();
    }
}

void InterruptHold::Release() {
    if (m_held) {
        m_held = false;
        if (--t_holdDepth == 0) {
            Holds().unlock_shared();
        }
    }
}

int ArmInterruptCleanup(const std::string& temporaryPath, const std::string& message) {
    const std::lock_guard<std::mutex> hold(ListLock());
    const int key = ++g_nextKey;
    Armed().emplace(key, Cleanup{temporaryPath, message});
    return key;
}

void DisarmInterruptCleanup(int key) {
    const std::lock_guard<std::mutex> hold(ListLock());
    Armed().erase(key);
}

InterruptNotice::~InterruptNotice() {
    Disarm();
}

void InterruptNotice::Disarm() {
    if (m_key != 0) {
        DisarmInterruptCleanup(m_key);
        m_key = 0;
    }
}

void InterruptNotice::Arm(const std::string& message) {
    const std::lock_guard<std::mutex> hold(ListLock());
    if (m_key == 0) {
        m_key = ++g_nextKey;
    }
    Armed()[m_key] = Cleanup{std::string(), message};
}

void CleanUpForInterruption(
    const std::function<void(const std::string& path, const std::string& message)>& cleanUp) {
    Holds().lock();
    ListLock().lock();
    for (const auto& [key, cleanup] : Armed()) {
        cleanUp(cleanup.path, cleanup.message);
    }
}
