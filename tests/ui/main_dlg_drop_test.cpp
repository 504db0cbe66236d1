#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/file_table.h"
#include "dialog_driver.h"
#include "framework/windows_text.h"
#include "resource.h"
#include "support/temp_dir.h"
#include "ui/main_dlg.h"

namespace {

// The block Explorer hands a drop target: a DROPFILES header, then the wide, double-NUL-ended list
// of `paths`.
HGLOBAL DropBlock(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& path : paths) {
        list += Widen(path) + L'\0';
    }
    list += L'\0';
    const std::size_t listBytes = list.size() * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + listBytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, list.data(), listBytes);
    GlobalUnlock(block);
    return block;
}

// Reads the warning box over `dialog` and closes it; empty text when none came.
MessageBoxView TakeWarning(HWND dialog) {
    MessageBoxView view;
    if (const HWND box = WaitForBoxOver(dialog)) {
        view = ReadMessageBox(box);
        Click(box, IDOK);
        WaitUntil([box] { return !IsWindow(box); });
    }
    return view;
}

TEST(MainDialogDropTest, DroppedFilesJoinTheListAsChosenOnesWhileFoldersAreNamedAndLeftOut) {
    if (!CanCreateWindows()) {
        GTEST_SKIP() << kNoWindows;
    }
    TempDir dir;
    const std::string greek = dir.File("Größe α.txt");
    const std::string plain = dir.File("cell1.txt");
    const std::string third = dir.File("cell2.txt");
    const std::string folder = dir.File("run 3");
    WriteBytes(greek, "g");
    WriteBytes(plain, "p");
    WriteBytes(third, "t");
    std::filesystem::create_directory(Utf8Path(folder));
    // Room for two of the three dropped files, one dropped twice: the drop meets the table's
    // limit as a choice does, and lists each file once.
    ClearFileTable();
    AppendFiles(std::vector<std::string>(kMaxFiles - 2, "C:\\data\\earlier.txt"));
    CMainDlg dialog;
    MessageBoxView limit, folders;
    std::string lastRows;
    StdioGuard stdio;
    const DrivenRun run = RunDriven(dialog, [&](HWND window) {
        PostMessageW(window, WM_DROPFILES,
                     reinterpret_cast<WPARAM>(DropBlock({greek, folder, plain, greek, third})), 0);
        limit = TakeWarning(window);
        folders = TakeWarning(window);
        Settle(window);
        const std::string list = ItemText(window, IDC_FILE_LIST);
        const std::size_t tail = list.rfind("earlier\r\n");
        lastRows = tail == std::string::npos ? list : list.substr(tail + 9);
        Click(window, IDCANCEL);
    });
    stdio.Restore();
    EXPECT_FALSE(run.watchdogFired);
    EXPECT_EQ(limit.text,
              "1 of the 4 dropped files was listed already; each file is listed once.\n\nThe "
              "list holds up to 1000 files: 1 of the 4 dropped files was not added, from " +
                  third + " on.");
    EXPECT_NE(folders.text.find(folder), std::string::npos) << folders.text;
    EXPECT_EQ(folders.icon, LoadIcon(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(lastRows, "Größe α\r\ncell1\r\n");
    ASSERT_EQ(g_fileCount, kMaxFiles);
    EXPECT_EQ(g_inputFiles[kMaxFiles - 2].path, greek);
    EXPECT_EQ(g_inputFiles[kMaxFiles - 1].path, plain);
    ClearFileTable();
}

}  // namespace
