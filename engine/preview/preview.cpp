// The preview of one image: the real pipeline on the caller's thread, into the private
// temporary-items folder, read back and deleted.

#include "engine/imageservices/imageimporter.h"
#include "engine/job/batchtread.h"
#include "engine/job/preparedimage_p.h"
#include "engine/labels/finderlabel.h"
#include "engine/pipeline/imagepipeline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillon::engine {

QImage batchTread::preview(const QString& file, QString& name, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return QImage();
    };
    m_isPreview = true;
    loadCurrent();
    m_profiles = ColorProfiles::load();
    const QFileInfo info(file);
    if (file.isEmpty())
        return fail(QStringLiteral("no file to preview"));
    if (!info.isFile() || !info.isReadable())
        return fail(QStringLiteral("%1: the file does not exist or cannot be read")
                        .arg(QDir::toNativeSeparators(file)));

    m_imageFile.append(info.absoluteFilePath());
    std::unique_ptr<Prepared> prepared = prepare(0);
    const OpenedImage& image = prepared->image;
    if (image.format && !m_formatExist.contains(image.label))
        m_formatExist.append(image.label);
    if (!prepared->opened) {
        m_report.notOpened.append({image.path, image.error});
        return fail(image.error);
    }
    const int problems = int(m_report.notSaved.size());
    const QString target = processImage(*prepared);
    if (target.isEmpty()) {
        if (m_report.notSaved.size() > problems)
            return fail(m_report.notSaved.last().reason);
        return fail(
            QStringLiteral("%1: no Format step for its label").arg(QDir::toNativeSeparators(file)));
    }
    ImageImporter reader;
    const bool read = reader.openFile(target);
    QFile::remove(target);
    if (!read)
        return fail(reader.errorString());
    name = QFileInfo(target).fileName();
    return reader.picture();
}

} // namespace quillon::engine
