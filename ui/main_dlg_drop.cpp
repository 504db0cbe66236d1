#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/windows_text.h"
#include "ui/main_dlg.h"
#include "winui/message_box.h"
#include "winui/win_app.h"

namespace {

// The name of dropped item `index`, as wide characters all the way from the shell.
std::wstring DroppedName(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), length + 1));
    return name;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string FoldersRefused(const std::vector<std::string>& folders) {
    std::string text =
        folders.size() == 1
            ? "A folder was dropped; folders are not added:\n\n"
            : std::to_string(folders.size()) + " folders were dropped; folders are not added:\n\n";
    constexpr std::size_t kNamed = 10;
    for (std::size_t i = 0; i < folders.size() && i < kNamed; ++i) {
        text += folders[i] + "\n";
    }
    if (folders.size() > kNamed) {
        text += "... and " + std::to_string(folders.size() - kNamed) + " more.\n";
    }
    return text + "\nDrop the files inside a folder to add them.";
}

}  // namespace

void CMainDlg::OnDropFiles(HDROP drop) {
    // The run reads the table: it changes only between runs, as with "..." and "Clear Files".
    if (m_run != nullptr) {
        DragFinish(drop);
        ShowMessageBox(m_hWnd,
                       "Files cannot be added while a run is going on; drop them again once it "
                       "has ended.",
                       AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<std::string> files;
    std::vector<std::string> folders;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path = Narrow(DroppedName(drop, i));
        (IsFolder(path) ? folders : files).push_back(std::move(path));
    }
    DragFinish(drop);
    AppendToList(files, "dropped");
    if (!folders.empty()) {
        ShowMessageBox(m_hWnd, FoldersRefused(folders), AfxGetAppName(),
                       MB_OK | MB_ICONEXCLAMATION);
    }
}
