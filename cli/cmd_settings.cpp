// quillon-cli settings dump FILE: prints a settings file (a favorite) record by record.

#include "cli/commands.h"
#include "settings/settingsstore.h"

#include <QTextStream>

namespace quillon::cli {

namespace {

using settings::SettingsStore;

void printRecords(const SettingsStore& store, QTextStream& out)
{
    for (const auto& item : store.setting) {
        const QString colour = settings::labelColourName(item->label);
        out << item->id << ": " << settings::kindName(item->type) << ", label " << item->label
            << " (" << (colour.isEmpty() ? QStringLiteral("unknown") : colour) << ")\n";
        for (const auto& [name, value] : item->describeFields())
            out << "    " << name << " = " << value << '\n';
    }
}

int dump(const QString& path)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    SettingsStore store;
    const SettingsStore::ReadResult result = store.readFile(path);
    if (result.status == SettingsStore::ReadStatus::OpenFailed) {
        err << "quillon-cli settings dump: " << result.error << '\n';
        return 2;
    }
    printRecords(store, out);
    if (store.isEmpty() && result.ok())
        out << "(no records)\n";
    out.flush();
    if (!result.ok()) {
        err << "quillon-cli settings dump: " << result.error << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int runSettings(const QStringList& args)
{
    if (args.size() == 2 && args[0] == QLatin1String("dump"))
        return dump(args[1]);
    QTextStream(stderr) << "Usage: quillon-cli settings dump FILE\n";
    return 2;
}

} // namespace quillon::cli
