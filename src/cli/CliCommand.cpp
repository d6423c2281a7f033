#include "cli/CliCommand.h"

std::vector<CliCommand> &CliCommand::registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}
