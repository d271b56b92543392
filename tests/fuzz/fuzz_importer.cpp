// The importer as a whole over any bytes: written to a file whose name ending the first byte
// picks (the sniffing judges by content, and by name for formats without a magic number), then
// tested by IsPictureFileMBS and opened. A picture it opens stays inside the picture limits; a
// failure names the file.

#include "fuzz/fuzztarget.h"

#include "engine/imageservices/imageimporter.h"
#include "engine/imageservices/imagelimits.h"
#include "engine/imageservices/picturefile.h"

#include <QDir>
#include <QFile>

#include <array>
#include <unistd.h>

using namespace quillon::engine;

QUILLON_FUZZ_TARGET(importer)
{
    if (size < 1)
        return true;
    static constexpr std::array<const char*, 12> kEndings = {
        "", ".jpg", ".png", ".tif", ".psd", ".tga", ".pict", ".mac", ".nef", ".cr2", ".bmp", ".gif"};
    const QString path = QDir::temp().filePath(QStringLiteral("quillon-fuzz-%1%2")
                                                   .arg(getpid())
                                                   .arg(QLatin1String(kEndings[data[0] % kEndings.size()])));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return true; // nothing to learn without the file
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    IsPictureFileMBS(path);
    ImageImporter importer;
    bool held = true;
    if (importer.openFile(path)) {
        const QImage picture = importer.picture();
        held = !picture.isNull() && pictureSizeAllowed(picture.width(), picture.height()) &&
               importer.horizontalResolution() > 0;
    } else {
        held = importer.errorString().contains(path);
    }
    QFile::remove(path);
    return held;
}
