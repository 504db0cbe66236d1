#include <string>
#include <vector>

#include "batch/file_table.h"
#include "resource.h"
#include "ui/main_dlg.h"
#include "winui/file_dialog.h"
#include "winui/message_box.h"
#include "winui/win_app.h"

namespace {

// Characters of the chooser's selection buffer: room for the 1000 files of the table with
// names of any length.
constexpr DWORD kSelectionSize = 260000;

constexpr char kFilter[] = "FILE(*.txt)|*.txt|FILE(*.*)|*.*||";

void ShowWarning(HWND owner, const std::string& text) {
    ShowMessageBox(owner, text, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

std::optional<std::vector<std::string>> CMainDlg::ChooseFiles() {
    std::vector<wchar_t> selection(kSelectionSize, L'\0');
    CFileDialog chooser(TRUE, "txt", nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY, kFilter);
    chooser.m_ofn.lpstrFile = selection.data();
    chooser.m_ofn.nMaxFile = kSelectionSize;
    if (chooser.DoModal() != IDOK) {
        if (chooser.SelectionTooLong()) {
            ShowWarning(m_hWnd,
                        "The selection is too long for the file chooser, so no file was added. "
                        "Choose fewer files at a time; the list holds up to " +
                            std::to_string(kMaxFiles) + " files.");
        }
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (POSITION position = chooser.GetStartPosition(); position != nullptr;) {
        paths.push_back(chooser.GetNextPathName(position));
    }
    return paths;
}

void CMainDlg::AddFiles() {
    AppendToList(ChooseFiles().value_or(std::vector<std::string>()), "chosen");
}

void CMainDlg::AppendToList(const std::vector<std::string>& paths, const char* how) {
    const AppendedFiles appended = AppendNewFiles(paths);
    RebuildFileList();
    const std::string ofThem = " of the " + std::to_string(paths.size()) + " " + how + " files ";
    std::string text;
    if (appended.alreadyListed > 0) {
        text = std::to_string(appended.alreadyListed) + ofThem +
               (appended.alreadyListed == 1 ? "was" : "were") +
               " listed already; each file is listed once.";
    }
    if (appended.leftOut > 0) {
        text += (text.empty() ? "" : "\n\n") + std::string("The list holds up to ") +
                std::to_string(kMaxFiles) + " files: " + std::to_string(appended.leftOut) + ofThem +
                (appended.leftOut == 1 ? "was" : "were") + " not added, from " +
                appended.firstLeftOut + " on.";
    }
    if (!text.empty()) {
        ShowWarning(m_hWnd, text);
    }
}

void CMainDlg::ClearFiles() {
    ClearFileTable();
    SetItemText(IDC_FILE_LIST, "");
}

void CMainDlg::RebuildFileList() {
    SetItemText(IDC_FILE_LIST, RebuildFileListText());
}
