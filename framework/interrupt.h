#pragma once

#include <cstdio>
#include <string>

// What an interruption of the process must undo: the temporary files being written, by any
// thread. From ArmInterruptCleanup until DisarmInterruptCleanup with the key it gave, an
// interruption removes `temporaryPath` and writes `message` as a line to the stream given to
// InstallInterruptHandlers (nothing when it is empty). Any number may be armed at once.
int ArmInterruptCleanup(const std::string& temporaryPath, const std::string& message);

// Nothing is left to undo for the cleanup armed under `key`: its temporary is complete, moved, or
// removed.
void DisarmInterruptCleanup(int key);

// A line an interruption writes, with nothing to remove: for news that an earlier cleanup no
// longer tells, such as a file converted whose "Finished" line is not out yet.
class InterruptNotice {
  public:
    InterruptNotice() = default;
    ~InterruptNotice();
    InterruptNotice(const InterruptNotice&) = delete;
    InterruptNotice& operator=(const InterruptNotice&) = delete;

    // From now until Disarm or destruction an interruption writes `message`, in place of any
    // armed before.
    void Arm(const std::string& message);
    // An interruption writes nothing for this notice any more.
    void Disarm();

  private:
    int m_key = 0;
};

// Holds interruptions back, from construction to Release or destruction, so that the steps in
// between (creating a temporary and arming its cleanup; moving it over the output and disarming)
// are never cut apart, whichever thread takes them. An interruption meanwhile takes effect once
// released. Holds may nest, and holds of different threads do not wait for each other.
class InterruptHold {
  public:
    InterruptHold();
    ~InterruptHold() { Release(); }
    InterruptHold(const InterruptHold&) = delete;
    InterruptHold& operator=(const InterruptHold&) = delete;

    // Lets interruptions through again.
    void Release();

  private:
    bool m_held = true;
};

// Ends the process on SIGINT, SIGTERM and SIGHUP (on Windows the console's Ctrl+C, Ctrl+Break and
// close events) after the cleanups armed at that moment, with the conventional status: killed by
// that signal, or STATUS_CONTROL_C_EXIT on Windows. Messages go to `report`. A signal that the
// process was started with ignored stays ignored. On POSIX systems, call it before any other
// thread starts: the signals are then taken by a thread of their own.
void InstallInterruptHandlers(std::FILE* report);
