#include "ui/batch_thread.h"

#include <cstdio>
#include <exception>

#include "core/conversion_settings.h"

BatchThread::~BatchThread() {
    if (m_thread != nullptr) {
        RequestStop();
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
}

bool BatchThread::Start() {
    m_thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    return m_thread != nullptr;
}

std::vector<FileFailure> BatchThread::Finish() {
    if (m_thread != nullptr) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    return m_failures;
}

void BatchThread::OnFileDone(int done, int total) {
    PostMessageW(m_window, kProgressMessage, static_cast<WPARAM>(done), total);
}

DWORD WINAPI BatchThread::ThreadMain(LPVOID self) {
    auto* run = static_cast<BatchThread*>(self);
    try {
        ProgressConsole console(stdout, "\r\n");
        run->m_summary =
            RunSummaryText(RunBatch(console, *run, run, &run->m_spectra), AreaApplied());
        console.Line(run->m_summary);
        if (!run->m_spectra.empty()) {
            console.Line(
                "See them plotted: \"Plot of the last run...\" in the window menu "
                "(Alt+Space)");
        }
    } catch (const std::exception& error) {
        // Only a failure outside every file's conversion, such as memory running out, gets here.
        run->m_failures.push_back({"the run", error.what()});
    }
    PostMessageW(run->m_window, kEndMessage, 0, 0);
    return 0;
}
