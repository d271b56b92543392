#include "cli/commands.h"

#include "engine/labels/finderlabel.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace quillon::cli {

// quillon-cli label [--set COLOR|none] FILE...
// Without --set, prints "FILE: Color" (or "FILE: none") for each file; with it, gives each
// file that colour label, keeping its other tags.
int runLabel(const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList files = arguments;
    bool setting = false;
    int number = 0;
    if (!files.isEmpty() && files.first() == QLatin1String("--set")) {
        files.removeFirst();
        if (files.isEmpty()) {
            err << "quillon-cli label: --set needs a colour or \"none\"\n";
            return 2;
        }
        const QString colour = files.takeFirst();
        number = engine::labelNumberOfName(colour);
        if (number == 0 && colour.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
            err << "quillon-cli label: unknown colour \"" << colour << "\"; use one of "
                << engine::labelNames().join(QLatin1String(", ")) << " or none\n";
            return 2;
        }
        setting = true;
    }
    if (files.isEmpty()) {
        err << "quillon-cli label: no files given\n";
        return 2;
    }
    int status = 0;
    for (const QString& file : files) {
        if (!QFileInfo::exists(file)) {
            err << file << ": no such file\n";
            status = 1;
            continue;
        }
        if (setting) {
            QString error;
            if (!engine::setFinderLabel(file, number, &error)) {
                err << error << '\n';
                status = 1;
            }
            continue;
        }
        const int label = engine::FinderLabelMBS(file);
        out << file << ": " << (label ? engine::finderLabelName(label) : QStringLiteral("none"))
            << '\n';
    }
    return status;
}

} // namespace quillon::cli
