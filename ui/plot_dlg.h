#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "batch/file_spectrum.h"
#include "plot/plot_layout.h"
#include "winui/dialog.h"

// The plot of a run's converted files in a resizable window, the drawing kelvane-convert --plot
// writes; its right-click menu copies it (as an enhanced metafile and a bitmap) or saves it, the
// merged table or the summary.
class CPlotDlg : public CDialog {
  public:
    // The plot of `spectra`, converted at `area`, owned by `parent`.
    CPlotDlg(std::shared_ptr<const std::vector<FileSpectrum>> spectra, double area,
             CWnd* parent = nullptr);

  protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT code, int id, HWND control) override;

  private:
    // The drawing at the window's client size, laid out again only when the size changed.
    const PlotDrawing& Drawing() const;
    void OnPaint();
    void OnContextMenu(LPARAM where);
    void Copy();
    // Asks for a file to save under, offering `name`; empty when the user cancels.
    std::string AskSavePath(const char* name, const char* extension, const char* filter);
    // Saves what `write` writes to the chosen path, telling a failure, or the files `write` says
    // it left out, in a box.
    void Save(const char* name, const char* extension, const char* filter,
              std::vector<std::string> (*write)(const CPlotDlg& plot, const std::string& path));

    std::shared_ptr<const std::vector<FileSpectrum>> m_spectra;
    std::vector<PlotCurve> m_curves;
    double m_area;
    mutable PlotDrawing m_drawing;
    mutable bool m_laidOut = false;
};
