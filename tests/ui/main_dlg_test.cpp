#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "batch/file_table.h"
#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "dialog_driver.h"
#include "framework/windows_text.h"
#include "resource.h"
#include "support/temp_dir.h"
#include "ui/main_dlg.h"
#include "winui/message_box.h"
#include "winui/win_app.h"

namespace {

// The main dialog with its file chooser replaced by the paths a test hands it, unless the test
// asks for the system's Open dialog.
class ScriptedMainDlg : public CMainDlg {
  public:
    std::optional<std::vector<std::string>> m_nextChoice;
    bool m_realChooser = false;

  protected:
    std::optional<std::vector<std::string>> ChooseFiles() override {
        return m_realChooser ? CMainDlg::ChooseFiles() : m_nextChoice;
    }
};

class MainDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!CanCreateWindows()) {
            GTEST_SKIP() << kNoWindows;
        }
        ClearFileTable();
        g_area = 1.0f;
        g_areaSet = 0;
    }

    // Runs the dialog under `script`; the runner has its streams back when this returns.
    INT_PTR Run(const std::function<void(HWND)>& script) {
        StdioGuard stdio;
        const DrivenRun run = RunDriven(m_dialog, script);
        stdio.Restore();
        EXPECT_FALSE(run.watchdogFired) << "the dialog was left open";
        return run.result;
    }

    // Hands `paths` to the file chooser and presses "...".
    void Choose(HWND dialog, std::optional<std::vector<std::string>> paths) {
        m_dialog.m_nextChoice = std::move(paths);
        Click(dialog, IDC_ADD_FILES);
        Settle(dialog);
    }

    // Presses OK and waits until the run it starts has ended and the controls are back.
    static void RunToEnd(HWND dialog) {
        Click(dialog, IDOK);
        Settle(dialog);
        WaitUntil([dialog] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != 0; }, 60000);
        Settle(dialog);
    }

    ScriptedMainDlg m_dialog;
};

// Writes a DRT export with three header lines and the (gamma, tau) rows.
void WriteInput(const std::string& path, const std::vector<std::pair<double, double>>& rows) {
    std::string text = "DRT export\nsettings\ngamma\ttau\n";
    for (const auto& [gamma, tau] : rows) {
        char line[64];
        std::snprintf(line, sizeof line, "%.6e\t%.6e\n", gamma, tau);
        text += line;
    }
    WriteBytes(path, text);
}

// Writes `count` small inputs cell0.txt ... into `dir` and lists them.
void ListSmallInputs(const TempDir& dir, int count) {
    std::vector<std::string> inputs;
    for (int i = 0; i < count; ++i) {
        inputs.push_back(dir.File("cell" + std::to_string(i) + ".txt"));
        WriteInput(inputs.back(), {{1e-3, 1e-3}, {2e-3, 2e-3}});
    }
    AppendFiles(inputs);
}

// N of the console's "Stopped after N of M files", or -1 without such a line.
int StoppedAfter(const std::vector<std::string>& console) {
    int converted = -1;
    for (const std::string& line : console) {
        std::sscanf(line.c_str(), "Stopped after %d of", &converted);
    }
    return converted;
}

// The lines of `text`, without their line ends (LF or CR LF).
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

TEST_F(MainDialogTest, OpensWithAreaOneTheIconsAndItsConsole) {
    struct {
        std::string area, shown, consoleTitle;
        float gArea = 0;
        int gAreaSet = 0;
        int focusId = 0;
        LRESULT bigIcon = 0, dragIcon = 0;
        bool listReadOnly = false, shownReadOnly = false, consoleApart = false;
    } seen;
    const INT_PTR result = Run([&](HWND dialog) {
        seen.area = ItemText(dialog, IDC_AREA);
        seen.shown = ItemText(dialog, IDC_AREA_SHOW);
        seen.gArea = g_area;
        seen.gAreaSet = g_areaSet;
        char title[128] = {};
        GetConsoleTitleA(title, sizeof title);
        seen.consoleTitle = title;
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
        seen.focusId = GetDlgCtrlID(thread.hwndFocus);
        seen.bigIcon = SendMessageA(dialog, WM_GETICON, ICON_BIG, 0);
        seen.dragIcon = SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
        const auto readOnly = [dialog](int id) {
            return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0;
        };
        seen.listReadOnly = readOnly(IDC_FILE_LIST);
        seen.shownReadOnly = readOnly(IDC_AREA_SHOW);
        // The console stands beside the dialog on its monitor, not under it. The console's
        // window belongs to another process (the console host), which may take a moment to move.
        const HWND console = GetConsoleWindow();
        seen.consoleApart = WaitUntil(
            [&] {
                RECT dialogRect, consoleRect, overlap;
                return console != nullptr && GetWindowRect(dialog, &dialogRect) &&
                       GetWindowRect(console, &consoleRect) &&
                       !IntersectRect(&overlap, &dialogRect, &consoleRect) &&
                       MonitorFromWindow(console, MONITOR_DEFAULTTONULL) ==
                           MonitorFromWindow(dialog, MONITOR_DEFAULTTONULL);
            },
            3000);
        // The caption's close box: handled by default processing, which ends in OnCancel.
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(seen.area, "1.0");
    EXPECT_EQ(seen.shown, "Area=1.000000");
    EXPECT_EQ(seen.gArea, 1.0f);
    EXPECT_EQ(seen.gAreaSet, 1);
    EXPECT_EQ(seen.consoleTitle, "Data conversion by kelvane@example.org");
    EXPECT_EQ(seen.focusId, IDOK);
    EXPECT_NE(seen.bigIcon, 0);
    EXPECT_EQ(seen.dragIcon, seen.bigIcon);
    EXPECT_TRUE(seen.listReadOnly);
    EXPECT_TRUE(seen.shownReadOnly);
    EXPECT_TRUE(seen.consoleApart);
}

TEST_F(MainDialogTest, AreaFollowsTheTextAsAtofReadsItsFirst99CharactersWithADecimalComma) {
    struct Case {
        std::string text, shown;
        float area;
    };
    const std::vector<Case> cases = {
        {"0.1", "Area=0.100000", 0.1f},
        {"", "Area=0.000000", 0.0f},
        {"2.5cm", "Area=2.500000", 2.5f},
        {"1,5", "Area=1.500000", 1.5f},
        {"cm2.5", "Area=0.000000", 0.0f},
        {"-1e-2", "Area=-0.010000", -0.01f},
        // The field is read into 100 bytes: a number that starts at the 100th character is cut.
        {std::string(98, ' ') + "7", "Area=7.000000", 7.0f},
        {std::string(99, ' ') + "7", "Area=0.000000", 0.0f},
    };
    std::vector<std::pair<std::string, float>> seen;
    Run([&](HWND dialog) {
        for (const Case& c : cases) {
            SetItemText(dialog, IDC_AREA, c.text);
            seen.emplace_back(ItemText(dialog, IDC_AREA_SHOW), g_area);
        }
        Click(dialog, IDCANCEL);
    });
    ASSERT_EQ(seen.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(seen[i].first, cases[i].shown) << "text \"" << cases[i].text << "\"";
        EXPECT_EQ(seen[i].second, cases[i].area) << "text \"" << cases[i].text << "\"";
    }
}

TEST_F(MainDialogTest, ListShowsChosenNamesAndClearFilesEmptiesIt) {
    std::vector<std::string> lists;
    int countAfterClear = -1;
    Run([&](HWND dialog) {
        Choose(dialog, std::vector<std::string>{"C:\\data\\cell1.txt", "D:\\run.1.txt"});
        lists.push_back(ItemText(dialog, IDC_FILE_LIST));
        Choose(dialog, std::vector<std::string>{"C:\\data\\cell"});
        lists.push_back(ItemText(dialog, IDC_FILE_LIST));
        // A cancelled chooser still rewrites the list from the table.
        SetItemText(dialog, IDC_FILE_LIST, "123");
        Choose(dialog, std::nullopt);
        lists.push_back(ItemText(dialog, IDC_FILE_LIST));
        Click(dialog, IDC_CLEAR_FILES);
        Settle(dialog);
        countAfterClear = g_fileCount;
        lists.push_back(ItemText(dialog, IDC_FILE_LIST));
        Choose(dialog, std::vector<std::string>{"C:\\x\\new.dat"});
        lists.push_back(ItemText(dialog, IDC_FILE_LIST));
        Click(dialog, IDCANCEL);
    });
    const std::vector<std::string> expected = {"cell1\r\nrun.1\r\n", "cell1\r\nrun.1\r\ncell\r\n",
                                               "cell1\r\nrun.1\r\ncell\r\n", "", "new\r\n"};
    EXPECT_EQ(lists, expected);
    EXPECT_EQ(countAfterClear, 0);
}

TEST_F(MainDialogTest, ChoicePastTheTableLimitIsCutAndTheUserTold) {
    std::vector<std::string> paths;
    for (int i = 0; i < kMaxFiles + 3; ++i) {
        paths.push_back("C:\\data\\cell" + std::to_string(i) + ".txt");
    }
    MessageBoxView box;
    std::size_t listedLines = 0;
    Run([&](HWND dialog) {
        m_dialog.m_nextChoice = paths;
        Click(dialog, IDC_ADD_FILES);
        const HWND warning = WaitForBoxOver(dialog);
        if (warning != nullptr) {
            box = ReadMessageBox(warning);
            Click(warning, IDOK);
        }
        Settle(dialog);
        listedLines = Lines(ItemText(dialog, IDC_FILE_LIST)).size();
        Click(dialog, IDCANCEL);
    });
    EXPECT_NE(box.text.find("3 of the 1003 chosen files were not added"), std::string::npos)
        << box.text;
    EXPECT_EQ(box.icon, LoadIcon(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(g_fileCount, kMaxFiles);
    EXPECT_EQ(listedLines, static_cast<std::size_t>(kMaxFiles));
    EXPECT_EQ(g_inputFiles[kMaxFiles - 1].path, paths[kMaxFiles - 1]);
}

TEST_F(MainDialogTest, OkConvertsEveryListedFileReportsOnTheConsoleAndStaysOpen) {
    TempDir dir;
    const std::vector<std::pair<double, double>> rows = {
        {1.5e-3, 1e-6}, {2.25e-2, 3.3e-4}, {-4e-5, 0.7}};
    const std::vector<std::string> inputs = {dir.File("cell1.txt"), dir.File("cell 2.dat")};
    for (const std::string& input : inputs) {
        WriteInput(input, rows);
    }
    std::vector<std::string> console;
    bool openAfterRuns = false;
    Run([&](HWND dialog) {
        SetItemText(dialog, IDC_AREA, "2");
        Choose(dialog, inputs);
        RunToEnd(dialog);
        RunToEnd(dialog);
        openAfterRuns = IsWindowVisible(dialog) != 0;
        console = ConsoleLines();
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(openAfterRuns);
    const std::vector<std::string> finished = {
        "Finished Processing file: " + inputs[0], "Finished Processing file: " + inputs[1],
        "Finished Processing file: " + inputs[0], "Finished Processing file: " + inputs[1]};
    std::vector<std::string> progress;
    std::copy_if(console.begin(), console.end(), std::back_inserter(progress),
                 [](const std::string& line) { return line.rfind("Finished", 0) == 0; });
    EXPECT_EQ(progress, finished);
    // Each run ends with its summary line.
    EXPECT_EQ(std::count_if(console.begin(), console.end(),
                            [](const std::string& line) {
                                return line.rfind("Converted 2 of 2 files at area 2 in ", 0) == 0;
                            }),
              2);
    for (const std::string& output : {dir.File("cell1+PDRT.txt"), dir.File("cell 2+PDRT.txt")}) {
        const std::vector<std::string> lines = Lines(ReadBytes(output));
        ASSERT_EQ(lines.size(), rows.size() + 1) << output;
        EXPECT_EQ(lines[0], "Freq(Hz), Gamma(tau)");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            double frequency = 0, gamma = 0;
            ASSERT_EQ(std::sscanf(lines[i + 1].c_str(), "%lf, %lf", &frequency, &gamma), 2);
            EXPECT_NEAR(frequency, K / rows[i].second, 1e-6 * K / rows[i].second);
            EXPECT_NEAR(gamma, 2 * rows[i].first, 1e-6 * std::abs(rows[i].first));
        }
    }
}

TEST_F(MainDialogTest, ARunKeepsTheDialogResponsiveWithItsControlsOffAndCancelStopsIt) {
    TempDir dir;
    constexpr int kFiles = 300;
    ListSmallInputs(dir, kFiles);
    const std::vector<int> runControls = {IDOK, IDC_FILE_LIST, IDC_ADD_FILES, IDC_CLEAR_FILES,
                                          IDC_AREA};
    std::vector<bool> enabledDuringRun, enabledAfterRun;
    bool cancelEnabled = false, responsive = false, openAfterStop = false;
    std::vector<std::string> console;
    Run([&](HWND dialog) {
        Click(dialog, IDOK);
        Settle(dialog);
        for (const int id : runControls) {
            enabledDuringRun.push_back(IsWindowEnabled(GetDlgItem(dialog, id)) != 0);
        }
        cancelEnabled = IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)) != 0;
        DWORD_PTR ignored = 0;
        responsive = SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
        Click(dialog, IDCANCEL);
        WaitUntil([dialog] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != 0; }, 60000);
        Settle(dialog);
        for (const int id : runControls) {
            enabledAfterRun.push_back(IsWindowEnabled(GetDlgItem(dialog, id)) != 0);
        }
        openAfterStop = IsWindowVisible(dialog) != 0;
        console = ConsoleLines();
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(enabledDuringRun, std::vector<bool>(runControls.size(), false));
    EXPECT_TRUE(cancelEnabled);
    EXPECT_TRUE(responsive);
    EXPECT_EQ(enabledAfterRun, std::vector<bool>(runControls.size(), true));
    EXPECT_TRUE(openAfterStop);
    const int converted = StoppedAfter(console);
    ASSERT_GE(converted, 0) << "no line tells of the stop";
    EXPECT_LT(converted, kFiles);
    // Every output is whole or not there at all; no temporary is left.
    for (int i = 0; i < kFiles; ++i) {
        const std::string output = dir.File("cell" + std::to_string(i) + "+PDRT.txt");
        EXPECT_EQ(Exists(output), i < converted) << output;
        if (i < converted) {
            EXPECT_EQ(Lines(ReadBytes(output)).size(), 3u) << output;
        }
        EXPECT_FALSE(Exists(dir.File("cell" + std::to_string(i) + "+PDRT.tmp")));
    }
}

// Presses and releases `key` as the keyboard does, for the window that has the focus.
void PressKey(WORD key) {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = key;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

// The window that has the keyboard on `window`'s thread.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

TEST_F(MainDialogTest, DuringARunEnterIsIgnoredF1OpensTheGuideEscStopsAndTheFocusComesBack) {
    TempDir dir;
    CWinApp& app = *AfxGetApp();
    app.m_helpFile = dir.File("README.txt");
    app.m_pMainWnd = &m_dialog;
    constexpr int kFiles = 300;
    ListSmallInputs(dir, kFiles);
    std::vector<std::string> console;
    MessageBoxView guide;
    HWND area = nullptr;
    HWND focusAfter = nullptr;
    Run([&](HWND dialog) {
        SetForegroundWindow(dialog);
        area = GetDlgItem(dialog, IDC_AREA);
        PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(area), TRUE);
        Settle(dialog);
        PressKey(VK_RETURN);
        WaitUntil([dialog] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) == 0; });
        PressKey(VK_RETURN);
        PressKey(VK_F1);
        if (const HWND box = WaitForBoxOver(dialog)) {
            guide = ReadMessageBox(box);
            Click(box, IDOK);
            WaitUntil([box] { return !IsWindow(box); });
        }
        SetForegroundWindow(dialog);
        Settle(dialog);
        PressKey(VK_ESCAPE);
        WaitUntil([dialog] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != 0; }, 60000);
        Settle(dialog);
        focusAfter = FocusOf(dialog);
        console = ConsoleLines();
        Click(dialog, IDCANCEL);
    });
    app.m_helpFile.clear();
    app.m_pMainWnd = nullptr;
    EXPECT_NE(guide.text.find("The user's guide, README.txt"), std::string::npos) << guide.text;
    const int converted = StoppedAfter(console);
    EXPECT_GE(converted, 0) << "no line tells of the stop";
    EXPECT_LT(converted, kFiles);
    EXPECT_EQ(
        std::count_if(console.begin(), console.end(),
                      [](const std::string& line) { return line.rfind("Converted ", 0) == 0; }),
        1)
        << "Enter during the run started another";
    EXPECT_EQ(focusAfter, area);
}

TEST_F(MainDialogTest, AnAreaThatIsNotANumberAboveZeroConvertsNothing) {
    TempDir dir;
    const std::string input = dir.File("cell.txt");
    WriteInput(input, {{1e-3, 1e-3}});
    WriteBytes(dir.File("cell+PDRT.txt"), "Freq(Hz), Gamma(tau)\r\n159.154946, 0.002\r\n");
    AppendFiles({input});
    std::vector<MessageBoxView> boxes;
    Run([&](HWND dialog) {
        for (const char* area : {"", "0", "-2", "abc", "1e39"}) {
            SetItemText(dialog, IDC_AREA, area);
            Click(dialog, IDOK);
            if (const HWND box = WaitForBoxOver(dialog)) {
                boxes.push_back(ReadMessageBox(box));
                Click(box, IDOK);
                WaitUntil([box] { return !IsWindow(box); });
            }
            Settle(dialog);
        }
        Click(dialog, IDCANCEL);
    });
    ASSERT_EQ(boxes.size(), 5u);
    for (const MessageBoxView& box : boxes) {
        EXPECT_NE(box.text.find("The surface area must be a number greater than 0"),
                  std::string::npos)
            << box.text;
    }
    EXPECT_EQ(ReadBytes(dir.File("cell+PDRT.txt")),
              "Freq(Hz), Gamma(tau)\r\n159.154946, 0.002\r\n");
}

TEST_F(MainDialogTest, OkWithNoFilesSaysHowToChooseThem) {
    MessageBoxView box;
    Run([&](HWND dialog) {
        Click(dialog, IDOK);
        if (const HWND shown = WaitForBoxOver(dialog)) {
            box = ReadMessageBox(shown);
            Click(shown, IDOK);
            WaitUntil([shown] { return !IsWindow(shown); });
        }
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(box.text,
              "No files to convert: choose them with \"...\" or drop them here, then "
              "press OK.");
}

TEST_F(MainDialogTest, FailedFileIsNamedInOneStopBoxAndTheRunGoesOn) {
    TempDir dir;
    const std::string missing = dir.File("missing.txt");
    const std::string present = dir.File("present.txt");
    WriteInput(present, {{1e-3, 1e-3}});
    MessageBoxView box;
    bool anotherBox = true;
    bool openAfterBox = false;
    std::vector<std::string> console;
    Run([&](HWND dialog) {
        Choose(dialog, std::vector<std::string>{missing, present});
        Click(dialog, IDOK);
        const HWND error = WaitForBoxOver(dialog);
        if (error != nullptr) {
            box = ReadMessageBox(error);
            console = ConsoleLines();
            Click(error, IDOK);
            WaitUntil([error] { return !IsWindow(error); });
        }
        Settle(dialog);
        anotherBox = WaitForBoxOver(dialog, 300) != nullptr;
        openAfterBox = IsWindowVisible(dialog) != 0;
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(box.text.rfind("Converted 1 of 2 files at area 1 in ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("Could not convert 1 file"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find(missing + ": "), std::string::npos) << box.text;
    EXPECT_EQ(box.text.find(present), std::string::npos) << box.text;
    EXPECT_EQ(box.icon, LoadIcon(nullptr, IDI_HAND));
    EXPECT_FALSE(anotherBox);
    EXPECT_TRUE(openAfterBox);
    EXPECT_NE(std::find(console.begin(), console.end(), "Finished Processing file: " + present),
              console.end());
    EXPECT_TRUE(Exists(dir.File("present+PDRT.txt")));
}

// The characters of UTF-8 `text`.
std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The gamma of the first row of the converted table `path`, or -1 when it has none.
double FirstGamma(const std::string& path) {
    const std::vector<std::string> lines = Lines(ReadBytes(path));
    double frequency = 0, gamma = -1;
    if (lines.size() < 2 || std::sscanf(lines[1].c_str(), "%lf, %lf", &frequency, &gamma) != 2) {
        return -1;
    }
    return gamma;
}

TEST_F(MainDialogTest, NamesOutsideTheAnsiCodePageStayTheirOwnFilesInListConsoleAndOutputs) {
    TempDir dir;
    const std::vector<std::string> names = {"α.dat", "a.dat", "Größe Zelle 1.txt"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        WriteInput(dir.File(names[i]), {{static_cast<double>(i + 1), 1e-3}});
    }
    // The Open dialog starts in the folder where this program last chose files, else in the
    // current folder: forget the last one.
    RegDeleteTreeW(HKEY_CURRENT_USER,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32");
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(Widen(dir.Path()).c_str());
    std::string list;
    std::vector<std::string> console;
    m_dialog.m_realChooser = true;
    Run([&](HWND dialog) {
        Click(dialog, IDC_ADD_FILES);
        if (const HWND open = WaitForBoxOver(dialog)) {
            SetItemText(open, 0x47C, "\"α.dat\" \"a.dat\" \"Größe Zelle 1.txt\"");
            Click(open, IDOK);
            WaitUntil([open] { return !IsWindow(open); });
        }
        Settle(dialog);
        list = ItemText(dialog, IDC_FILE_LIST);
        RunToEnd(dialog);
        console = ConsoleLines();
        Click(dialog, IDCANCEL);
    });
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(list, "α\r\na\r\nGröße Zelle 1\r\n");
    const std::vector<std::string> outputs = {"α+PDRT.txt", "a+PDRT.txt", "Größe Zelle 1+PDRT.txt"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_NE(std::find(console.begin(), console.end(),
                            "Finished Processing file: " + dir.File(names[i])),
                  console.end())
            << names[i];
        EXPECT_EQ(FirstGamma(dir.File(outputs[i])), static_cast<double>(i + 1)) << outputs[i];
    }
}

TEST_F(MainDialogTest, FailureBoxBreaksALongPathIntoLinesThatFitTheScreen) {
    TempDir dir;
    // A folder name with no place to break, then folders whose names fill most of a line.
    std::string path = dir.Path();
    for (int i = 0; i < 20; ++i) {
        path += "Größe";
    }
    for (int i = 0; i < 3; ++i) {
        path += "\\" + std::string(70, static_cast<char>('p' + i));
    }
    path += "\\missing.txt";
    ASSERT_GT(Characters(path), 300u);
    AppendFiles({path});
    MessageBoxView box;
    RECT boxRect = {};
    std::vector<std::string> console;
    Run([&](HWND dialog) {
        Click(dialog, IDOK);
        if (const HWND error = WaitForBoxOver(dialog)) {
            box = ReadMessageBox(error);
            GetWindowRect(error, &boxRect);
            console = ConsoleLines();
            Click(error, IDOK);
            WaitUntil([error] { return !IsWindow(error); });
        }
        Settle(dialog);
        Click(dialog, IDCANCEL);
    });
    std::string joined;
    for (const std::string& line : Lines(box.text)) {
        EXPECT_LE(Characters(line), kBoxLineWidth) << line;
        joined += line;
    }
    EXPECT_NE(joined.find(path + ": "), std::string::npos) << box.text;
    EXPECT_GE(boxRect.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_LE(boxRect.right,
              GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const std::string failed = "Failed to process file: " + path + ": ";
    EXPECT_NE(std::find_if(console.begin(), console.end(),
                           [&](const std::string& line) { return line.rfind(failed, 0) == 0; }),
              console.end());
}

TEST_F(MainDialogTest, AfterARunTheWindowMenuOpensItsPlotWhichCopiesAndSavesItself) {
    TempDir dir;
    std::vector<std::string> inputs;
    for (const char* name : {"cell-a.txt", "cell-b.txt"}) {
        inputs.push_back(dir.File(name));
        WriteInput(inputs.back(), {{0.0, 1e-3}, {1.0, 1e-2}, {0.5, 1e-1}, {0.0, 1.0}});
    }
    AppendFiles(inputs);
    const std::string summary = dir.File("summary.csv");
    struct {
        std::string item;
        std::vector<std::string> console;
        bool resizable = false, metafile = false, bitmap = false, closed = false;
        COLORREF inside = CLR_INVALID;
    } seen;
    Run([&](HWND dialog) {
        RunToEnd(dialog);
        seen.console = ConsoleLines();
        const HMENU menu = GetSystemMenu(dialog, FALSE);
        char text[64] = {};
        GetMenuStringA(menu, IDM_PLOT, text, sizeof text, MF_BYCOMMAND);
        seen.item = text;
        PostMessageA(dialog, WM_SYSCOMMAND, IDM_PLOT, 0);
        const HWND plot = WaitForBoxOver(dialog);
        if (plot == nullptr) {
            Click(dialog, IDCANCEL);
            return;
        }
        seen.resizable = (GetWindowLongA(plot, GWL_STYLE) & WS_THICKFRAME) != 0;
        PostMessageA(plot, WM_COMMAND, MAKEWPARAM(IDM_PLOT_COPY, 0), 0);
        WaitUntil([] {
            return IsClipboardFormatAvailable(CF_ENHMETAFILE) != 0 &&
                   IsClipboardFormatAvailable(CF_BITMAP) != 0;
        });
        seen.metafile = IsClipboardFormatAvailable(CF_ENHMETAFILE) != 0;
        seen.bitmap = IsClipboardFormatAvailable(CF_BITMAP) != 0;
        // The background is painted white over the client area.
        RECT client;
        GetClientRect(plot, &client);
        WaitUntil([&] {
            const HDC dc = GetDC(plot);
            seen.inside = GetPixel(dc, 2, client.bottom - 2);
            ReleaseDC(plot, dc);
            return seen.inside == RGB(255, 255, 255);
        });
        // Saved through the system's Save dialog.
        PostMessageA(plot, WM_COMMAND, MAKEWPARAM(IDM_PLOT_SAVE_SUMMARY, 0), 0);
        if (const HWND save =
                WaitForDialog(GetWindowThreadProcessId(plot, nullptr),
                              [&](HWND window) { return window != plot && window != dialog; })) {
            SetItemText(save, 0x47C, summary);
            Click(save, IDOK);
            WaitUntil([save] { return !IsWindow(save); });
        }
        PostMessageA(plot, WM_CLOSE, 0, 0);
        seen.closed = WaitUntil([plot] { return !IsWindow(plot); });
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(seen.item, "&Plot of the last run...");
    EXPECT_NE(std::find(seen.console.begin(), seen.console.end(),
                        "See them plotted: \"Plot of the last run...\" in the window menu "
                        "(Alt+Space)"),
              seen.console.end());
    EXPECT_TRUE(seen.resizable);
    EXPECT_TRUE(seen.metafile);
    EXPECT_TRUE(seen.bitmap);
    EXPECT_EQ(seen.inside, RGB(255, 255, 255));
    EXPECT_TRUE(seen.closed);
    const std::vector<std::string> rows = Lines(ReadBytes(summary));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].rfind("file,rows,f_min_Hz,", 0), 0u) << rows[0];
    EXPECT_EQ(rows[1].rfind(inputs[0] + ",4,", 0), 0u) << rows[1];
}

TEST_F(MainDialogTest, SystemMenuEndsWithTheAboutItemThatOpensTheAboutBox) {
    struct {
        std::string lastItem;
        UINT lastId = 0;
        bool separatorBefore = false;
        std::string aboutCaption;
        std::vector<std::string> aboutTexts;
        bool aboutHasIcon = false, ownerDisabled = false, closedByOk = false;
    } seen;
    Run([&](HWND dialog) {
        const HMENU menu = GetSystemMenu(dialog, FALSE);
        const int count = GetMenuItemCount(menu);
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
        seen.lastItem = text;
        seen.lastId = GetMenuItemID(menu, count - 1);
        seen.separatorBefore =
            (GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        const HWND about = WaitForBoxOver(dialog);
        if (about == nullptr) {
            Click(dialog, IDCANCEL);
            return;
        }
        seen.aboutCaption = WindowText(about);
        for (HWND child = GetWindow(about, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                seen.aboutHasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
            } else {
                seen.aboutTexts.push_back(WindowText(child));
            }
        }
        seen.ownerDisabled = !IsWindowEnabled(dialog);
        Click(about, IDOK);
        seen.closedByOk = WaitUntil([about] { return !IsWindow(about); });
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(seen.lastItem, "&About Kelvane...");
    EXPECT_EQ(seen.lastId, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_TRUE(seen.separatorBefore);
    EXPECT_EQ(seen.aboutCaption, "About Kelvane");
    const std::vector<std::string> texts = {"Kelvane Version 1.0", "(C) 2025 Kelvane developers",
                                            "OK"};
    EXPECT_EQ(seen.aboutTexts, texts);
    EXPECT_TRUE(seen.aboutHasIcon);
    EXPECT_TRUE(seen.ownerDisabled);
    EXPECT_TRUE(seen.closedByOk);
}

}  // namespace
