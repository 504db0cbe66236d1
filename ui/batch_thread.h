#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "batch/batch_run.h"

// A batch run of the file table on a thread of its own, reporting to a window by posted messages:
// kProgressMessage after each file (wParam files done, lParam the run's total), kEndMessage once
// the run has ended.
class BatchThread : public RunMonitor, private RunEndSignal {
  public:
    static constexpr UINT kProgressMessage = WM_APP + 1;
    static constexpr UINT kEndMessage = WM_APP + 2;

    // A run that will report to `window`.
    explicit BatchThread(HWND window) : m_window(window) {}
    BatchThread(const BatchThread&) = delete;
    BatchThread& operator=(const BatchThread&) = delete;
    // Asks a run still going to stop, and waits for it.
    ~BatchThread() override;

    // Starts the run, with its progress lines on standard output; false when no thread could be
    // created.
    bool Start();
    // Asks the run to stop after the file being converted.
    void RequestStop() { m_stop = true; }
    // Waits for the run, which has posted kEndMessage, and gives the files that failed.
    std::vector<FileFailure> Finish();
    // True when the run stopped before its last file, as asked; valid after Finish.
    bool Stopped() const { return m_stopped; }
    // The run's closing line (RunSummaryText), also written on the console; valid after Finish.
    const std::string& Summary() const { return m_summary; }
    // The spectra of the files the run converted, in table order; valid after Finish.
    std::vector<FileSpectrum> TakeSpectra() { return std::move(m_spectra); }

  private:
    static DWORD WINAPI ThreadMain(LPVOID self);

    bool StopRequested() override {
        m_stopped = m_stop;
        return m_stopped;
    }
    void OnFileDone(int done, int total) override;
    void OnRunEnd(const std::vector<FileFailure>& failures) override { m_failures = failures; }

    HWND m_window;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    bool m_stopped = false;
    std::vector<FileFailure> m_failures;
    std::string m_summary;
    std::vector<FileSpectrum> m_spectra;
};
