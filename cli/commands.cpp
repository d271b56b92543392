#include "cli/commands.h"

#include <array>

namespace quillon::cli {

// Each command lives in its own cmd_<name>.cpp and is listed here once.

std::span<const Command> commands()
{
    static const std::array<Command, 0> kCommands = {{
    }};
    return kCommands;
}

} // namespace quillon::cli
