#include "ui/main_app.h"

#include "ui/main_dlg.h"

BOOL CMainApp::InitInstance() {
    Enable3dControls();
    CMainDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

bool CMainApp::OnCommand(UINT id) {
    if (id == ID_HELP) {
        OnHelp();
        return true;
    }
    return CWinApp::OnCommand(id);
}
