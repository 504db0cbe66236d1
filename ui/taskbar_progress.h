#pragma once

#include <windows.h>

struct ITaskbarList3;

// A run's progress on a window's taskbar button, where the system offers it (Windows 7 on);
// elsewhere it shows nothing.
class TaskbarProgress {
  public:
    TaskbarProgress() = default;
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;
    ~TaskbarProgress();

    // Shows `done` of `total` on the button of `window`.
    void Show(HWND window, int done, int total);
    // Takes the progress off the button of `window`.
    void Clear(HWND window);

  private:
    ITaskbarList3* List();

    ITaskbarList3* m_list = nullptr;
    bool m_tried = false;
    bool m_comStarted = false;
};
