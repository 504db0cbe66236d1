#include "winui/paint_dc.h"

#include "winui/wnd.h"

CPaintDC::CPaintDC(CWnd* window)
    : m_ps(), m_hWnd(window->GetSafeHwnd()), m_hDC(BeginPaint(m_hWnd, &m_ps)) {}

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
}
