#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "winui/dialog.h"

// The program's main window: the file list, the surface area and the run.
class CMainDlg : public CDialog {
  public:
    // The dialog of template IDD_MAIN_DIALOG with the application icon.
    explicit CMainDlg(CWnd* parent = nullptr);

    // Adds the About item to the system menu, sets the icons, opens the console, sets area 1.0.
    BOOL OnInitDialog() override;
    // Converts every listed file; the dialog stays open.
    void OnOK() override;
    // Ends the dialog with IDCANCEL.
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
    void OpenConsole();
    void AddFiles();
    void AppendToList(const std::vector<std::string>& paths);
    void OnDropFiles(HDROP drop);
    void ClearFiles();
    void RebuildFileList();

    HICON m_hIcon;
};
