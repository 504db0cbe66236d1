#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "batch/batch_run.h"

// Ends a run for the user: the information sound when every file converted, else one error box.
class RunEndBox : public RunEndSignal {
  public:
    // Error boxes are owned by `owner`.
    explicit RunEndBox(HWND owner) : m_owner(owner) {}

    // Beeps, or shows FailureMessage(failures), its long lines broken, with the stop icon.
    void OnRunEnd(const std::vector<FileFailure>& failures) override;

  private:
    HWND m_owner;
};

// The error box text: how many files failed, then "path: reason" for the first `listed` of them
// and how many more there were.
std::string FailureMessage(const std::vector<FileFailure>& failures, std::size_t listed = 15);
