#include "ui/plot_dlg.h"

#include <windowsx.h>

#include <exception>

#include "batch/merged_table.h"
#include "framework/whole_file.h"
#include "plot/svg_writer.h"
#include "resource.h"
#include "ui/plot_painter.h"
#include "winui/file_dialog.h"
#include "winui/message_box.h"
#include "winui/win_app.h"

namespace {

// The height of the plot's text: 9 points at the screen's resolution.
double FontHeight() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi * 9.0 / 72.0;
}

}  // namespace

CPlotDlg::CPlotDlg(std::shared_ptr<const std::vector<FileSpectrum>> spectra, double area,
                   CWnd* parent)
    : CDialog(IDD_PLOT, parent),
      m_spectra(std::move(spectra)),
      m_curves(SpectraCurves(*m_spectra)),
      m_area(area) {}

bool CPlotDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_ERASEBKGND:
            // The painting covers the whole client area.
            result = 1;
            return true;
        case WM_SIZE:
            InvalidateRect(m_hWnd, nullptr, FALSE);
            return true;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            return true;
        default:
            return CDialog::OnMessage(message, wParam, lParam, result);
    }
}

bool CPlotDlg::OnCommand(UINT code, int id, HWND control) {
    switch (id) {
        case IDM_PLOT_COPY:
            Copy();
            return true;
        case IDM_PLOT_SAVE_SVG:
            Save("plot.svg", "svg", "SVG pictures (*.svg)|*.svg||",
                 [](const CPlotDlg& plot, const std::string& path) {
                     WriteWholeFile(path, SvgDocument(plot.Drawing()), "<?xml");
                     return std::vector<std::string>();
                 });
            return true;
        case IDM_PLOT_SAVE_MERGED:
            Save("merged.csv", "csv", "Comma-separated tables (*.csv)|*.csv||",
                 [](const CPlotDlg& plot, const std::string& path) {
                     return WriteMergedTable(*plot.m_spectra, path);
                 });
            return true;
        case IDM_PLOT_SAVE_SUMMARY:
            Save("summary.csv", "csv", "Comma-separated tables (*.csv)|*.csv||",
                 [](const CPlotDlg& plot, const std::string& path) {
                     const std::string table = SpectraSummary(*plot.m_spectra, plot.m_area);
                     WriteWholeFile(path, table, table.substr(0, table.find('\n')));
                     return std::vector<std::string>();
                 });
            return true;
        default:
            return CDialog::OnCommand(code, id, control);
    }
}

const PlotDrawing& CPlotDlg::Drawing() const {
    RECT client;
    GetClientRect(&client);
    const PlotSize size = {static_cast<double>(client.right - client.left),
                           static_cast<double>(client.bottom - client.top), FontHeight()};
    if (!m_laidOut || size.width != m_drawing.width || size.height != m_drawing.height) {
        m_drawing = LayOutPlot(m_curves, m_area, size);
        m_laidOut = true;
    }
    return m_drawing;
}

void CPlotDlg::OnPaint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_hWnd, &paint);
    RECT client;
    GetClientRect(&client);
    // Painted aside first, so that a resize does not flicker.
    const HDC aside = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(aside, bitmap);
    PaintPlot(aside, Drawing());
    BitBlt(dc, 0, 0, client.right, client.bottom, aside, 0, 0, SRCCOPY);
    SelectObject(aside, old);
    DeleteObject(bitmap);
    DeleteDC(aside);
    EndPaint(m_hWnd, &paint);
}

void CPlotDlg::OnContextMenu(LPARAM where) {
    POINT at = {GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the window's top left corner.
        at = {0, 0};
        ClientToScreen(m_hWnd, &at);
    }
    const HMENU menu = CreatePopupMenu();
    const CMenu items = CMenu::FromHandle(menu);
    items.AppendItem(MF_STRING, IDM_PLOT_COPY, "&Copy");
    items.AppendItem(MF_SEPARATOR);
    items.AppendItem(MF_STRING, IDM_PLOT_SAVE_SVG, "Save plot as &SVG...");
    items.AppendItem(MF_STRING, IDM_PLOT_SAVE_MERGED, "Save &merged table...");
    items.AppendItem(MF_STRING, IDM_PLOT_SAVE_SUMMARY, "Save s&ummary...");
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
}

void CPlotDlg::Copy() {
    const PlotDrawing& drawing = Drawing();
    const HDC metafileDc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, L"Kelvane\0Plot\0");
    PaintPlot(metafileDc, drawing);
    const HENHMETAFILE metafile = CloseEnhMetaFile(metafileDc);
    const HDC screen = GetDC(nullptr);
    const HDC aside = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, static_cast<int>(drawing.width),
                                                  static_cast<int>(drawing.height));
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(aside, bitmap);
    PaintPlot(aside, drawing);
    SelectObject(aside, old);
    DeleteDC(aside);
    if (!OpenClipboard(m_hWnd)) {
        DeleteEnhMetaFile(metafile);
        DeleteObject(bitmap);
        ShowMessageBox(m_hWnd, "The plot could not be copied: the clipboard is in use.",
                       AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EmptyClipboard();
    // The clipboard owns what it takes.
    if (SetClipboardData(CF_ENHMETAFILE, metafile) == nullptr) {
        DeleteEnhMetaFile(metafile);
    }
    if (SetClipboardData(CF_BITMAP, bitmap) == nullptr) {
        DeleteObject(bitmap);
    }
    CloseClipboard();
}

std::string CPlotDlg::AskSavePath(const char* name, const char* extension, const char* filter) {
    CFileDialog dialog(FALSE, extension, name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter,
                       this);
    if (dialog.DoModal() != IDOK) {
        return std::string();
    }
    POSITION position = dialog.GetStartPosition();
    return position != nullptr ? dialog.GetNextPathName(position) : std::string();
}

void CPlotDlg::Save(const char* name, const char* extension, const char* filter,
                    std::vector<std::string> (*write)(const CPlotDlg& plot,
                                                      const std::string& path)) {
    const std::string path = AskSavePath(name, extension, filter);
    if (path.empty()) {
        return;
    }
    try {
        const std::vector<std::string> leftOut = write(*this, path);
        if (!leftOut.empty()) {
            std::string text = path + " was written without:";
            for (const std::string& left : leftOut) {
                text += "\n" + left;
            }
            ShowMessageBox(m_hWnd, text, AfxGetAppName(), MB_OK | MB_ICONINFORMATION);
        }
    } catch (const std::exception& error) {
        ShowMessageBox(m_hWnd, path + " could not be written: " + error.what(), AfxGetAppName(),
                       MB_OK | MB_ICONEXCLAMATION);
    }
}
