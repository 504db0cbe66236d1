#pragma once

#include <cstdio>
#include <string>

// What an interruption of the process must undo: the temporary output being written. Between
// ArmInterruptCleanup and DisarmInterruptCleanup, an interruption removes `temporaryPath` and
// writes `message` as a line to the stream given to InstallInterruptHandlers.
void ArmInterruptCleanup(const std::string& temporaryPath, const std::string& message);

// Nothing is left to undo: the temporary is complete, moved, or removed.
void DisarmInterruptCleanup();

// Holds interruptions back, from construction to Release or destruction, so that the steps in
// between (creating a temporary and arming its cleanup; moving it over the output and disarming)
// are never cut apart. An interruption meanwhile takes effect once released.
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
// close events) after the cleanup armed at that moment, with the conventional status: killed by
// that signal, or STATUS_CONTROL_C_EXIT on Windows. Messages go to `report`. A signal that the
// process was started with ignored stays ignored.
void InstallInterruptHandlers(std::FILE* report);
