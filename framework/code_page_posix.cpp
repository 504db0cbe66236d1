#include "framework/code_page.h"

bool IsAnsiLeadByte(unsigned char) {
    return false;
}
