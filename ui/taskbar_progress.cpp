#include "ui/taskbar_progress.h"

#include <shobjidl.h>

TaskbarProgress::~TaskbarProgress() {
    if (m_list != nullptr) {
        m_list->Release();
    }
    if (m_comStarted) {
        CoUninitialize();
    }
}

ITaskbarList3* TaskbarProgress::List() {
    if (!m_tried) {
        m_tried = true;
        m_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        ITaskbarList3* list = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_PPV_ARGS(&list)))) {
            if (SUCCEEDED(list->HrInit())) {
                m_list = list;
            } else {
                list->Release();
            }
        }
    }
    return m_list;
}

void TaskbarProgress::Show(HWND window, int done, int total) {
    if (ITaskbarList3* list = List()) {
        list->SetProgressValue(window, static_cast<ULONGLONG>(done),
                               static_cast<ULONGLONG>(total > 0 ? total : 1));
    }
}

void TaskbarProgress::Clear(HWND window) {
    if (ITaskbarList3* list = List()) {
        list->SetProgressState(window, TBPF_NOPROGRESS);
    }
}
