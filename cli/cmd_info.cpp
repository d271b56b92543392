// quillon-cli info FILE...: what the importer sees in each file.

#include "cli/commands.h"

#include "engine/imageservices/colorprofiles.h"
#include "engine/imageservices/imageimporter.h"
#include "engine/imageservices/picturefile.h"
#include "engine/imageservices/rawimage.h"
#include "engine/labels/finderlabel.h"

#include <QTextStream>

namespace quillon::cli {

int runInfo(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.isEmpty()) {
        err << "Usage: quillon-cli info FILE...\n";
        return 2;
    }
    int status = 0;
    for (const QString& path : args) {
        engine::ImageImporter importer;
        const auto yesNo = [](bool on) { return on ? "yes" : "no"; };
        const int label = engine::FinderLabelMBS(path);
        out << path << '\n'
            << "  label: " << (label ? engine::finderLabelName(label) : QStringLiteral("none"))
            << '\n'
            << "  picture file: " << yesNo(engine::IsPictureFileMBS(path)) << '\n'
            << "  raw: " << yesNo(engine::isRawImage(path)) << '\n';
        if (!importer.openFile(path)) {
            out << "  error: " << importer.errorString() << '\n';
            err << importer.errorString() << '\n';
            status = 1;
            continue;
        }
        const engine::ImageMetadata metadata = importer.metadata();
        const QByteArray icc = importer.fileIccProfile();
        out << "  format: " << importer.formatName() << '\n'
            << "  size: " << importer.width() << " x " << importer.height() << '\n'
            << "  resolution: " << importer.horizontalResolution() << " dpi\n"
            << "  alpha: " << yesNo(importer.picture().hasAlphaChannel()) << '\n'
            << "  icc: "
            << (icc.isEmpty() ? QStringLiteral("none")
                              : engine::isValidIccProfile(icc)
                                    ? engine::iccDescription(icc)
                                    : QStringLiteral("invalid (%1 bytes)").arg(icc.size()))
            << '\n'
            << "  exif: " << yesNo(metadata.hasExif()) << '\n'
            << "  xmp: " << yesNo(metadata.hasXmp()) << '\n'
            << "  iptc: " << yesNo(metadata.hasIptc()) << '\n';
    }
    return status;
}

} // namespace quillon::cli
