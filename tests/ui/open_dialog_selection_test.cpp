#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "framework/windows_text.h"
#include "support/temp_dir.h"
#include "winui/file_dialog.h"

namespace {

// The list of the Explorer-style dialog `open`, once it shows `items` entries; null before that.
HWND ViewList(HWND open, int items) {
    HWND list = nullptr;
    WaitUntil([&] {
        const HWND view = FindWindowExW(open, nullptr, L"SHELLDLL_DefView", nullptr);
        list = view != nullptr ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        return list != nullptr && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == items;
    });
    return list;
}

// Selects every entry of the dialog's list, as Ctrl+A does; `fieldText` then replaces the names
// the dialog wrote into its name field, unless empty; then presses Open.
INT_PTR SelectAllAndOpen(CFileDialog& dialog, const std::string& dir, int items,
                         const std::string& fieldText) {
    return RunOpenDialog(dialog, dir, [&](HWND open) {
        if (const HWND list = ViewList(open, items)) {
            LVITEMW all = {};
            all.stateMask = LVIS_SELECTED;
            all.state = LVIS_SELECTED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&all));
        }
        if (!fieldText.empty()) {
            SetItemText(open, 0x47C, fieldText);
        }
        Click(open, IDOK);
    });
}

TEST(OpenDialogSelectionTest, FewerNamesBackThanFilesSelectedInTheViewIsReportedNotCutShort) {
    if (!CanCreateWindows()) {
        GTEST_SKIP() << kNoWindows;
    }
    TempDir dir;
    const std::vector<std::string> names = {"a.txt", "b c.txt", "Größe.txt"};
    for (const std::string& name : names) {
        WriteBytes(dir.File(name), name);
    }
    struct Case {
        std::string fieldText;
        INT_PTR result;
        std::size_t paths;
    };
    // The name field as the view filled it, then one that lost names on the way.
    const std::vector<Case> cases = {{"", IDOK, names.size()}, {"\"a.txt\"", IDCANCEL, 0}};
    for (const Case& c : cases) {
        std::vector<wchar_t> buffer(4096, L'\0');
        CFileDialog dialog(TRUE, "txt", nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
                           "FILE(*.txt)|*.txt||");
        dialog.m_ofn.lpstrFile = buffer.data();
        dialog.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        EXPECT_EQ(SelectAllAndOpen(dialog, dir.Path(), static_cast<int>(names.size()), c.fieldText),
                  c.result)
            << c.fieldText;
        std::size_t paths = 0;
        for (POSITION position = dialog.GetStartPosition(); position != nullptr; ++paths) {
            dialog.GetNextPathName(position);
        }
        EXPECT_EQ(paths, c.paths) << c.fieldText;
        EXPECT_EQ(dialog.SelectionTooLong(), c.result == IDCANCEL) << c.fieldText;
    }
}

}  // namespace
