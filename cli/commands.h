#pragma once

#include <QStringList>

#include <span>

namespace quillon::cli {

// One command of quillon-cli: "quillon-cli <name> ARGS...". run() gets the arguments after the
// name, prints results on stdout and problems on stderr, and returns the exit status.
struct Command
{
    const char* name;
    const char* synopsis; // one line for --help, after the program and command name
    const char* summary;  // what it does, one line
    int (*run)(const QStringList& args);
};

std::span<const Command> commands();

} // namespace quillon::cli
