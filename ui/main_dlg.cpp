#include "ui/main_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "batch/batch_run.h"
#include "batch/file_table.h"
#include "core/conversion_settings.h"
#include "core/number_format.h"
#include "resource.h"
#include "ui/about_dlg.h"
#include "ui/plot_dlg.h"
#include "ui/run_end_box.h"
#include "winui/message_box.h"
#include "winui/paint_dc.h"
#include "winui/resource_string.h"
#include "winui/win_app.h"

const CommandBinding<CMainDlg> CMainDlg::kCommands[] = {
    {BN_CLICKED, IDC_ADD_FILES, &CMainDlg::AddFiles},
    {BN_CLICKED, IDC_CLEAR_FILES, &CMainDlg::ClearFiles},
    {EN_CHANGE, IDC_AREA, &CMainDlg::OnChangeArea},
};

CMainDlg::CMainDlg(CWnd* parent)
    : CDialog(IDD_MAIN_DIALOG, parent),
      m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CMainDlg::~CMainDlg() = default;

bool CMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return true;
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
            return true;
        case BatchThread::kProgressMessage:
            m_taskbar.Show(m_hWnd, static_cast<int>(wParam), static_cast<int>(lParam));
            return true;
        case BatchThread::kEndMessage:
            OnRunEnd();
            return true;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return true;
        case WM_SETFOCUS:
            // The default handling hands the focus on to the control that had it last, which a
            // run has disabled: the focus would then rest nowhere, and Esc reach no window.
            return m_holdFocus || CDialog::OnMessage(message, wParam, lParam, result);
        default:
            return CDialog::OnMessage(message, wParam, lParam, result);
    }
}

bool CMainDlg::OnCommand(UINT code, int id, HWND control) {
    return DispatchCommand(*this, kCommands, code, id) || CDialog::OnCommand(code, id, control);
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const CMenu systemMenu = GetSystemMenu(FALSE);
    if (systemMenu.GetSafeHmenu() != nullptr) {
        const std::string aboutItem = AfxLoadString(IDS_ABOUTBOX);
        if (!aboutItem.empty()) {
            systemMenu.AppendItem(MF_SEPARATOR);
            systemMenu.AppendItem(MF_STRING, IDM_ABOUTBOX, aboutItem);
        }
    }
    SendMessageW(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    // Centred now rather than after this returns, so that the console can open beside it.
    CenterWindow();
    OpenConsole();
    DragAcceptFiles();
    SetItemText(IDC_AREA, "1.0");
    return TRUE;
}

void CMainDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else if ((id & 0xFFF0) == IDM_PLOT && m_lastRun != nullptr) {
        CPlotDlg plot(m_lastRun, m_lastRunArea, this);
        plot.DoModal();
    } else {
        Default();
    }
}

void CMainDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessageW(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon() const {
    return static_cast<HCURSOR>(m_hIcon);
}

void CMainDlg::OnChangeArea() {
    // atof sees at most the field's first 99 characters; a decimal comma is a decimal point.
    std::string text = GetItemText(IDC_AREA, 100);
    std::replace(text.begin(), text.end(), ',', '.');
    const double area = std::atof(text.c_str());
    g_area = static_cast<float>(area);
    // "Area=%f", printed by the same code as the output files, whatever the C runtime's rounding.
    char shown[5 + kMaxFixed6Length + 1] = "Area=";
    *FormatFixed6(area, shown + 5) = '\0';
    SetItemText(IDC_AREA_SHOW, shown);
    g_areaSet = 1;
}

void CMainDlg::OnOK() {
    if (m_run != nullptr) {
        return;
    }
    if (g_fileCount == 0) {
        ShowMessageBox(m_hWnd,
                       "No files to convert: choose them with \"...\" or drop them here, then "
                       "press OK.",
                       AfxGetAppName(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    // A zero, negative or unreadable area would replace good outputs with wrong ones.
    if (!(g_area > 0.0f) || !std::isnormal(g_area)) {
        ShowMessageBox(m_hWnd,
                       "The surface area must be a number greater than 0, such as 1.0 or 0,5, "
                       "from about 1.2e-38 to 3.4e38. Nothing was converted.",
                       AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    auto run = std::make_unique<BatchThread>(m_hWnd);
    EnableRunControls(false);
    if (!run->Start()) {
        EnableRunControls(true);
        ShowMessageBox(m_hWnd, "The run could not be started: the system has no room for it.",
                       AfxGetAppName(), MB_OK | MB_ICONSTOP);
        return;
    }
    m_run = std::move(run);
    m_taskbar.Show(m_hWnd, 0, g_fileCount);
}

void CMainDlg::OnRunEnd() {
    if (m_run == nullptr) {
        return;
    }
    const std::vector<FileFailure> failures = m_run->Finish();
    const bool stopped = m_run->Stopped();
    const std::string summary = m_run->Summary();
    std::vector<FileSpectrum> spectra = m_run->TakeSpectra();
    m_run.reset();
    if (!spectra.empty()) {
        // The window menu offers the plot once a run has converted a file.
        const CMenu systemMenu = GetSystemMenu(FALSE);
        if (m_lastRun == nullptr && systemMenu.GetSafeHmenu() != nullptr) {
            systemMenu.AppendItem(MF_STRING, IDM_PLOT, AfxLoadString(IDS_PLOT));
        }
        m_lastRun = std::make_shared<const std::vector<FileSpectrum>>(std::move(spectra));
        m_lastRunArea = AreaApplied();
    }
    m_taskbar.Clear(m_hWnd);
    EnableRunControls(true);
    // The sound tells that every file converted: a stopped run without failures has only its
    // console line.
    if (!stopped || !failures.empty()) {
        RunEndBox(m_hWnd, summary).OnRunEnd(failures);
    }
}

void CMainDlg::EnableRunControls(bool enable) {
    m_holdFocus = !enable;
    if (!enable) {
        const HWND focus = ::GetFocus();
        m_focusBeforeRun = focus != nullptr && IsChild(m_hWnd, focus) ? focus : nullptr;
        // The dialog itself keeps the keyboard: Esc still stops the run, F1 still opens the guide
        // and Enter, which would press a focused Cancel, only reaches the disabled OK.
        ::SetFocus(m_hWnd);
    }
    for (const int id : {IDOK, IDC_FILE_LIST, IDC_ADD_FILES, IDC_CLEAR_FILES, IDC_AREA}) {
        EnableWindow(GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE);
    }
    if (enable) {
        const HWND back = m_focusBeforeRun != nullptr && IsWindowEnabled(m_focusBeforeRun)
                              ? m_focusBeforeRun
                              : GetDlgItem(m_hWnd, IDOK);
        m_focusBeforeRun = nullptr;
        SendMessageW(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(back), TRUE);
    }
}

void CMainDlg::OnCancel() {
    if (m_run != nullptr) {
        m_run->RequestStop();
        return;
    }
    CDialog::OnCancel();
}
