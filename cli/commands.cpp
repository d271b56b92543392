#include "cli/commands.h"

#include <array>

namespace quillon::cli {

int runSettings(const QStringList& args);
int runLabel(const QStringList& args);
int runInfo(const QStringList& args);
int runRun(const QStringList& args);
int runPreview(const QStringList& args);

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
        Command{"run",
                "(--settings FILE | --favorite NAME) (--dest DIR | --same-as-original) "
                "[--depth N] SOURCE...",
                "run a batch over the sources and report what was written", runRun},
        Command{"preview", "--settings FILE IMAGE OUT.png",
                "write the picture the preview shows and print the output's name", runPreview},
    };
    return kCommands;
}

} // namespace quillon::cli
