#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "framework/interrupt.h"
#include "framework/interrupt_cleanup.h"

// The signals are blocked in every thread and taken by one thread of their own with sigwait, so
// that the cleanup runs as ordinary code: it takes the lock that holds interruptions back, as the
// console's handler does on Windows, whichever thread holds it.
namespace {

// Writes all of `text` to `fd`, as far as it goes.
void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written <= 0) {
            return;
        }
        done += static_cast<std::size_t>(written);
    }
}

// Waits for one of `signals`, cleans up, and ends the process by that signal.
void TakeSignals(sigset_t signals, int reportFd) {
    int signalNumber = 0;
    while (::sigwait(&signals, &signalNumber) != 0) {
    }
    CleanUpForInterruption([reportFd](const std::string& path, const std::string& message) {
        if (!path.empty()) {
            ::unlink(path.c_str());
        }
        if (!message.empty()) {
            WriteAll(reportFd, message + "\n");
        }
    });
    ::signal(signalNumber, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber);
}

}  // namespace

void InstallInterruptHandlers(std::FILE* report) {
    sigset_t signals;
    sigemptyset(&signals);
    bool any = false;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored from the start stays ignored (nohup, a shell's background job).
        struct sigaction before {};
        if (::sigaction(signalNumber, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
            sigaddset(&signals, signalNumber);
            any = true;
        }
    }
    if (!any) {
        return;
    }
    // Threads started later inherit the mask, so only the waiting thread takes the signals.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(TakeSignals, signals, ::fileno(report)).detach();
}
