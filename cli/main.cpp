#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "framework/interrupt.h"
#include "framework/program_arguments.h"

int main(int argc, char** argv) {
    InstallInterruptHandlers(stderr);
    return RunConvertCommand(ProgramArguments(argc, argv), stdin, stdout, stderr);
}
