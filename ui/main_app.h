#pragma once

#include "winui/win_app.h"

// The application: runs the main dialog, then ends the process.
class CMainApp : public CWinApp {
  public:
    // The application object; the program defines one.
    CMainApp() : CWinApp(nullptr) {}

    // Runs the main dialog modally; FALSE, so that the process ends when it closes.
    BOOL InitInstance() override;
    // Binds ID_HELP to OnHelp.
    bool OnCommand(UINT id) override;
};
