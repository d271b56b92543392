#include "cli/commands.h"

#include <array>

namespace quillon::cli {

int runSettings(const QStringList& args);
int runLabel(const QStringList& args);
int runInfo(const QStringList& args);

// Each command lives in its own cmd_<name>.cpp and is listed here once.

std::span<const Command> commands()
{
    static const std::array kCommands = {
        Command{"settings", "dump FILE", "print a settings file (a favorite) record by record",
                runSettings},
        Command{"label", "[--set COLOR|none] FILE...", "print or set the colour label of files",
                runLabel},
        Command{"info", "FILE...",
                "what the importer sees in each picture file, or why it cannot open it", runInfo},
    };
    return kCommands;
}

} // namespace quillon::cli
