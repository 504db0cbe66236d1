#include <string>
#include <vector>

#include "cli/convert_command.h"
#include "framework/interrupt.h"

int main(int argc, char** argv) {
    InstallInterruptHandlers(stderr);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunConvertCommand(arguments, stdout, stderr);
}
