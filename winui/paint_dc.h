#pragma once

#include <windows.h>

class CWnd;

// The device context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
  public:
    // Starts painting `window`.
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    // The device context's handle.
    HDC GetSafeHdc() const { return m_hDC; }
    // Draws `icon` with its upper left corner at (x, y).
    bool DrawIcon(int x, int y, HICON icon) const { return ::DrawIcon(m_hDC, x, y, icon) != 0; }

    // What BeginPaint reported: the area to paint.
    PAINTSTRUCT m_ps;

  private:
    HWND m_hWnd;
    HDC m_hDC;
};
