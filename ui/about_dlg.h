#pragma once

#include "winui/dialog.h"

// The About box: icon, program name and version, notice.
class CAboutDlg : public CDialog {
  public:
    // The dialog of template IDD_ABOUTBOX.
    explicit CAboutDlg(CWnd* parent = nullptr);
};
