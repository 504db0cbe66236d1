#include <windows.h>

#include "ui/main_app.h"
#include "winui/win_app.h"

CMainApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
