#include "winui/win_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/windows_text.h"
#include "winui/exception_box.h"
#include "winui/message_box.h"
#include "winui/wnd.h"

namespace {

CWinApp* g_app = nullptr;

// The program file's full path.
std::string ModulePath() {
    // The call cuts a path that does not fit: the buffer grows until one does.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length < size) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Narrow(path);
}

// The program file's name without its folder and extension.
std::string ModuleBaseName() {
    std::string name = ModulePath();
    name.erase(0, name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

}  // namespace

CWinApp::CWinApp(const char* appName) : m_appName(appName != nullptr ? appName : ModuleBaseName()) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

int CWinApp::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return ExitInstance();
}

bool CWinApp::OnCommand(UINT) {
    return false;
}

void CWinApp::Enable3dControls() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

std::string CWinApp::HelpFilePath() const {
    if (!m_helpFile.empty()) {
        return m_helpFile;
    }
    std::string path = ModulePath();
    return path.erase(path.find_last_of("\\/") + 1) + "README.txt";
}

void CWinApp::OnHelp() {
    const HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    const std::string guide = HelpFilePath();
    const DWORD attributes = GetFileAttributesW(FileSystemPath(guide).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        // ShellExecute reports success as a value above 32.
        const auto opened = reinterpret_cast<INT_PTR>(
            ShellExecuteW(owner, L"open", Widen(guide).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened > 32) {
            return;
        }
        ShowMessageBox(owner, "The user's guide could not be opened: " + guide, m_appName,
                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ShowMessageBox(owner,
                   "The user's guide, README.txt, is not beside the program: " + guide +
                       " is missing. It comes in the zip file that " + m_appName +
                       " is delivered in; keep it in the same folder as the program.",
                   m_appName, MB_OK | MB_ICONINFORMATION);
}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetResourceHandle() {
    return GetModuleHandleW(nullptr);
}

std::string AfxGetAppName() {
    return g_app != nullptr ? g_app->m_appName : ModuleBaseName();
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = instance;
    try {
        return app->InitInstance() ? app->Run() : app->ExitInstance();
    } catch (...) {
        ReportCurrentException(nullptr);
        return -1;
    }
}
