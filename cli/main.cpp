#include "cli/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

void printHelp(QTextStream& out)
{
    out << "Usage: quillon-cli COMMAND [ARGS...]\n\n"
           "Quillon's batch image engine without windows.\n\nCommands:\n";
    for (const auto& command : quillon::cli::commands())
        out << "  " << command.name << ' ' << command.synopsis << "\n      " << command.summary
            << '\n';
    out << "\n  --help      show this text\n";
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures are drawn with QPainter, which needs a GUI application; the offscreen platform
    // lets the command-line program run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QCoreApplication::setOrganizationName(QString());

    QStringList args = QCoreApplication::arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.isEmpty()) {
        printHelp(err);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        printHelp(out);
        return 0;
    }
    for (const auto& command : quillon::cli::commands()) {
        if (name == QLatin1String(command.name))
            return command.run(args);
    }
    err << "quillon-cli: unknown command \"" << name << "\"; see quillon-cli --help\n";
    return 2;
}
