#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_run.h"

// Ends a run for the user: the information sound when every file converted, else one error box.
class RunEndBox : public RunEndSignal {
  public:
    // Error boxes are owned by `owner` and begin with `summary`, the run's closing line, if any.
    explicit RunEndBox(HWND owner, std::string summary = std::string())
        : m_owner(owner), m_summary(std::move(summary)) {}

    // Beeps, or shows the summary and FailureMessage(failures), their long lines broken, with the
    // stop icon.
    void OnRunEnd(const std::vector<FileFailure>& failures) override;

  private:
    HWND m_owner;
    std::string m_summary;
};

// The error box text: how many files failed, then "path: reason" for the first `listed` of them
// and how many more there were.
std::string FailureMessage(const std::vector<FileFailure>& failures, std::size_t listed = 15);
