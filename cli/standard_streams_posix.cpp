#include <poll.h>
#include <signal.h>
#include <sys/stat.h>

#include "cli/standard_streams.h"

// POSIX streams never translate line ends.
void UseBinaryMode(std::FILE* stream) {
    static_cast<void>(stream);
}

namespace {

// True once KeepRunningWhenPipesClose took SIGPIPE's default action away.
bool g_pipeSignalHeld = false;

}  // namespace

void KeepRunningWhenPipesClose() {
    // A signal ignored from the start stays ignored, and so ends nothing later either.
    struct sigaction before {};
    if (::sigaction(SIGPIPE, nullptr, &before) == 0 && before.sa_handler == SIG_DFL) {
        ::signal(SIGPIPE, SIG_IGN);
        g_pipeSignalHeld = true;
    }
}

void EndIfReaderGone(std::FILE* stream) {
    const int fd = ::fileno(stream);
    struct stat info {};
    if (!g_pipeSignalHeld || fd < 0 || ::fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode)) {
        return;
    }
    // The write end of a pipe whose read end is closed polls as an error.
    pollfd pipe{fd, 0, 0};
    if (::poll(&pipe, 1, 0) == 1 && (pipe.revents & POLLERR) != 0) {
        ::signal(SIGPIPE, SIG_DFL);
        ::raise(SIGPIPE);
    }
}
