#include "framework/whole_file.h"

#include <algorithm>

#include "framework/interrupt.h"

WholeFile::WholeFile(std::string path, std::string_view signature)
    : m_path(std::move(path)), m_temporary(m_path + ".tmp") {
    CFileException error;
    // Created and armed for interruptions as one step.
    InterruptHold hold;
    if (!m_file.OpenTemporary(m_temporary, signature, &error)) {
        throw CFileException(error.m_cause, error.m_lOsError, m_path);
    }
    m_cleanup = ArmInterruptCleanup(m_temporary, "Interrupted while writing " + m_path);
}

WholeFile::~WholeFile() {
    InterruptHold hold;
    if (!m_committed) {
        NativeRemove(m_temporary);
    }
    DisarmInterruptCleanup(m_cleanup);
}

void WholeFile::Write(std::string_view text) {
    constexpr std::size_t kMostAtOnce = 1u << 30;
    while (!text.empty()) {
        const std::size_t count = std::min(text.size(), kMostAtOnce);
        m_file.Write(text.data(), static_cast<unsigned>(count));
        text.remove_prefix(count);
    }
}

void WholeFile::Commit() {
    InterruptHold hold;
    m_file.CommitTemporary(m_temporary, m_path);
    m_committed = true;
    DisarmInterruptCleanup(m_cleanup);
    m_cleanup = 0;
}

void WriteWholeFile(const std::string& path, std::string_view text, std::string_view signature) {
    WholeFile file(path, signature);
    file.Write(text);
    file.Commit();
}
