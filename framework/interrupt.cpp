#include <map>
#include <mutex>

#include "framework/interrupt.h"
#include "framework/interrupt_cleanup.h"

// The armed cleanups and the lock that guards them. The interrupt handler takes the lock before
// it cleans up and never gives it back, so holding the lock holds interruptions back.
namespace {

struct Cleanup {
    std::string path;
    std::string message;
};

// Recursive: a conversion arms and disarms while an InterruptHold of its own has it.
std::recursive_mutex& Lock() {
    static std::recursive_mutex lock;
    return lock;
}

// By key, which grows, so in the order they were armed.
std::map<int, Cleanup>& Armed() {
    static std::map<int, Cleanup> armed;
    return armed;
}

int g_nextKey = 0;

}  // namespace

InterruptHold::InterruptHold() {
    Lock().lock();
}

void InterruptHold::Release() {
    if (m_held) {
        m_held = false;
        Lock().unlock();
    }
}

int ArmInterruptCleanup(const std::string& temporaryPath, const std::string& message) {
    const std::lock_guard<std::recursive_mutex> hold(Lock());
    const int key = ++g_nextKey;
    Armed().emplace(key, Cleanup{temporaryPath, message});
    return key;
}

void DisarmInterruptCleanup(int key) {
    const std::lock_guard<std::recursive_mutex> hold(Lock());
    Armed().erase(key);
}

void CleanUpForInterruption(
    const std::function<void(const std::string& path, const std::string& message)>& cleanUp) {
    Lock().lock();
    for (const auto& [key, cleanup] : Armed()) {
        cleanUp(cleanup.path, cleanup.message);
    }
}
