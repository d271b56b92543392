// quillon-cli preview: writes the picture the preview would show and prints the name the
// output would carry.

#include "cli/commands.h"
#include "engine/job/batchtread.h"
#include "settings/settingsstore.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

namespace quillon::cli {

int runPreview(const QStringList& args)
{
    QTextStream err(stderr);
    if (args.size() != 4 || args[0] != QLatin1String("--settings")) {
        err << "Usage: quillon-cli preview --settings FILE IMAGE OUT.png\n";
        return 2;
    }
    settings::SettingsStore steps;
    const settings::SettingsStore::ReadResult read = steps.readFile(args[1]);
    if (!read.ok()) {
        err << "quillon-cli preview: " << read.error << '\n';
        return 2;
    }
    engine::batchTread job;
    job.setCurrentSteps(&steps);
    QString name, error;
    const QImage picture = job.preview(QFileInfo(args[2]).absoluteFilePath(), name, &error);
    if (picture.isNull()) {
        err << "quillon-cli preview: " << error << '\n';
        return 1;
    }
    // What a window would show: the picture as PNG, written all or nothing.
    QSaveFile file(args[3]);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(picture) || !file.commit()) {
        err << "quillon-cli preview: " << args[3] << ": cannot be written: "
            << (writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                             : file.errorString())
            << '\n';
        return 1;
    }
    QTextStream(stdout) << name << '\n';
    return 0;
}

} // namespace quillon::cli
