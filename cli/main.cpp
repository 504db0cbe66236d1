#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "cli/standard_streams.h"
#include "framework/interrupt.h"
#include "framework/program_arguments.h"

int main(int argc, char** argv) {
    InstallInterruptHandlers(stderr);
    KeepRunningWhenPipesClose();
    const int status = RunConvertCommand(ProgramArguments(argc, argv), stdin, stdout, stderr);
    EndIfReaderGone(stdout);
    return status;
}
