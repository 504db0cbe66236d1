#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/batch_thread.h"
#include "ui/taskbar_progress.h"
#include "winui/dialog.h"

// The program's main window: the file list, the surface area and the run.
class CMainDlg : public CDialog {
  public:
    // The dialog of template IDD_MAIN_DIALOG with the application icon.
    explicit CMainDlg(CWnd* parent = nullptr);
    // Stops a run still going and waits for it.
    ~CMainDlg() override;

    // Adds the About item to the system menu, sets the icons, opens the console, sets area 1.0.
    BOOL OnInitDialog() override;
    // Starts converting every listed file on a thread of its own, the controls disabled until it
    // ends; the dialog stays open. An area that is not a number greater than 0 converts nothing.
    void OnOK() override;
    // Stops a run after the file being converted; with no run, ends the dialog with IDCANCEL.
    void OnCancel() override;

  protected:
    // Lets the user pick input files; nullopt when nothing was chosen.
    virtual std::optional<std::vector<std::string>> ChooseFiles();

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT code, int id, HWND control) override;

  private:
    static const CommandBinding<CMainDlg> kCommands[];

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon() const;
    void OnChangeArea();
    void OnRunEnd();
    void EnableRunControls(bool enable);
    void OpenConsole();
    void PlaceConsoleBeside(HWND console) const;
    void AddFiles();
    // Lists the files of `paths` not listed yet, saying how many of those `how` (e.g. "chosen")
    // were listed already or found no room.
    void AppendToList(const std::vector<std::string>& paths, const char* how);
    void OnDropFiles(HDROP drop);
    void ClearFiles();
    void RebuildFileList();

    HICON m_hIcon;
    std::unique_ptr<BatchThread> m_run;
    // True while a run keeps the keyboard on the dialog itself.
    bool m_holdFocus = false;
    // The control that had the keyboard when the run started; it gets it back at the end.
    HWND m_focusBeforeRun = nullptr;
    TaskbarProgress m_taskbar;
    // The spectra of the last run that converted a file, and its area, for its plot; shared with
    // a plot window, which keeps them while a later run replaces them here.
    std::shared_ptr<const std::vector<FileSpectrum>> m_lastRun;
    double m_lastRunArea = 1.0;
};
