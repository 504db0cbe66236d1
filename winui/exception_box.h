#pragma once

#include <windows.h>

// Shows the exception being handled in an error box with the stop icon, owned by `owner`. Call
// only inside a catch block; it never throws.
void ReportCurrentException(HWND owner) noexcept;
