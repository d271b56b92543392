#include "cli/commands.h"

#include <array>

namespace quillon::cli {

int runInfo(const QStringList& args);

// Each command lives in its own cmd_<name>.cpp and is listed here once.

std::span<const Command> commands()
{
    static const std::array<Command, 1> kCommands = {{
        {"info", "FILE...", "what the importer sees in each picture file, or why it cannot open it", runInfo},
    }};
    return kCommands;
}

} // namespace quillon::cli
