#include "ui/run_end_box.h"

#include "winui/message_box.h"
#include "winui/win_app.h"

void RunEndBox::OnRunEnd(const std::vector<FileFailure>& failures) {
    if (failures.empty()) {
        MessageBeep(MB_ICONASTERISK);
        return;
    }
    const std::string text = m_summary.empty() ? FailureMessage(failures)
                                               : m_summary + ".\n\n" + FailureMessage(failures);
    ShowMessageBox(m_owner, BreakLongLines(text), AfxGetAppName(), MB_OK | MB_ICONSTOP);
}

std::string FailureMessage(const std::vector<FileFailure>& failures, std::size_t listed) {
    const std::size_t count = failures.size();
    std::string text =
        "Could not convert " + std::to_string(count) + (count == 1 ? " file:\n" : " files:\n");
    for (std::size_t i = 0; i < count && i < listed; ++i) {
        text += "\n" + failures[i].path + ": " + failures[i].reason;
    }
    if (count > listed) {
        text += "\n... and " + std::to_string(count - listed) + " more.";
    }
    return text;
}
