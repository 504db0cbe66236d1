#include "framework/exception.h"

CNotSupportedException::CNotSupportedException() : CException("This operation is not supported.") {}

void AfxThrowNotSupportedException() {
    throw CNotSupportedException();
}
