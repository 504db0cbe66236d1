#include <windows.h>

#include "framework/code_page.h"

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByteEx(CP_ACP, byte) != 0;
}
