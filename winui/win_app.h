#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The command that asks for help (F1).
inline constexpr UINT ID_HELP = 0xE146;

// The application object: the program defines exactly one, as a process-wide variable.
class CWinApp {
  public:
    // Registers this object as the process's application; `appName` (UTF-8) null takes the
    // program's name.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Starts the program's work; FALSE ends the process, TRUE runs the message loop.
    virtual BOOL InitInstance() { return TRUE; }
    // Runs the message loop until WM_QUIT; returns the exit code.
    virtual int Run();
    // Last call before the process ends; returns the exit code.
    virtual int ExitInstance() { return 0; }
    // Handles a command no window took; true when handled.
    virtual bool OnCommand(UINT id);

    // The 3-D look is the system's own now: this only readies the common controls' classes.
    void Enable3dControls();
    // Opens the user's guide, HelpFilePath(), with the program the system has for it; tells the
    // user where the guide belongs when it is not there.
    void OnHelp();
    // The user's guide: m_helpFile, or README.txt in the program's folder when that is empty.
    std::string HelpFilePath() const;

    // The name message boxes carry in their captions, in UTF-8.
    std::string m_appName;
    // The program's module, as the entry routine received it.
    HINSTANCE m_hInstance = nullptr;
    // The window that owns the dialogs opened without a parent; null while there is none.
    CWnd* m_pMainWnd = nullptr;
    // The user's guide's path in UTF-8, when not the default of HelpFilePath.
    std::string m_helpFile;
};

// The application object, or null when the program defines none.
CWinApp* AfxGetApp();

// The module that holds the program's resources.
HINSTANCE AfxGetResourceHandle();

// The program's name for message box captions.
std::string AfxGetAppName();

// The entry routine: InitInstance, then the message loop if it returned TRUE; returns the exit
// code.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
