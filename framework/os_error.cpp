#include "framework/os_error.h"

#include "framework/file_exception.h"

const char* ProjectErrorMessage(long osError) {
    switch (osError) {
        case kErrorTemporaryInUse:
            return "another conversion is writing this file right now (or another program holds "
                   "its temporary file open)";
        case kErrorFolderInTheWay:
            return "a folder of this name is in the way of the temporary output";
        case kErrorForeignFileInTheWay:
            return "a file of this name that this program did not write is in the way of the "
                   "temporary output; move or delete it";
        case kErrorNotRegularFile:
            return "not a regular file (a pipe, a socket or a device)";
        case kErrorTemporaryTakenAway:
            return "another program removed or replaced the temporary output meanwhile";
        case kErrorFolderGiven:
            return "this is a folder, not a file";
        default:
            return nullptr;
    }
}

int ProjectErrorCause(long osError) {
    switch (osError) {
        case kErrorTemporaryInUse:
            return CFileException::sharingViolation;
        case kErrorFolderInTheWay:
        case kErrorForeignFileInTheWay:
        case kErrorNotRegularFile:
        case kErrorFolderGiven:
            return CFileException::accessDenied;
        case kErrorTemporaryTakenAway:
            return CFileException::generic;
        default:
            return -1;
    }
}
