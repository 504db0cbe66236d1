#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "framework/interrupt.h"

// The handler may only use what is safe in a signal handler: it reads fixed buffers, filled while
// the cleanup is disarmed, and calls unlink, write, signal and raise.
namespace {

char g_temporaryPath[4096];
char g_message[8192];
std::size_t g_messageLength = 0;
int g_reportFd = STDERR_FILENO;
volatile sig_atomic_t g_armed = 0;

void CopyBounded(char* to, std::size_t capacity, const std::string& from) {
    const std::size_t length = std::min(from.size(), capacity - 1);
    std::memcpy(to, from.data(), length);
    to[length] = '\0';
}

// SIGINT, SIGTERM and SIGHUP.
sigset_t InterruptSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&signals, signalNumber);
    }
    return signals;
}

void OnInterrupt(int signalNumber) {
    if (g_armed != 0) {
        ::unlink(g_temporaryPath);
        ssize_t ignored = ::write(g_reportFd, g_message, g_messageLength);
        static_cast<void>(ignored);
    }
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

}  // namespace

InterruptHold::InterruptHold() {
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void InterruptHold::Release() {
    if (m_held) {
        m_held = false;
        const sigset_t signals = InterruptSignals();
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
}

void ArmInterruptCleanup(const std::string& temporaryPath, const std::string& message) {
    g_armed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (temporaryPath.size() >= sizeof g_temporaryPath) {
        return;
    }
    CopyBounded(g_temporaryPath, sizeof g_temporaryPath, temporaryPath);
    CopyBounded(g_message, sizeof g_message - 1, message);
    g_messageLength = std::strlen(g_message);
    g_message[g_messageLength++] = '\n';
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_armed = 1;
}

void DisarmInterruptCleanup() {
    g_armed = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
}

void InstallInterruptHandlers(std::FILE* report) {
    g_reportFd = ::fileno(report);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_mask = InterruptSignals();
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored from the start stays ignored (nohup, a shell's background job).
        struct sigaction before {};
        if (::sigaction(signalNumber, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
            ::sigaction(signalNumber, &action, nullptr);
        }
    }
}
