#include "cli/commands.h"

#include <array>

namespace quillon::cli {

int runSettings(const QStringList& args);

// Each command lives in its own cmd_<name>.cpp and is listed here once.

std::span<const Command> commands()
{
    static const std::array<Command, 1> kCommands = {{
        {"settings", "dump FILE", "print a settings file (a favorite) record by record", runSettings},
    }};
    return kCommands;
}

} // namespace quillon::cli
