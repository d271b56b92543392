#pragma once

// Shared by the image service tests: independent decoders, picture comparison.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cmath>

namespace imagetest {

// ImageMagick 6 misreads bare MacPaint files (it takes the first header bytes for a length),
// but reads them correctly inside MacBinary, so the oracle gets a wrapped copy.
inline QByteArray macBinary(const QByteArray& bare)
{
    QByteArray header(128, '\0');
    header[1] = 4;
    header.replace(2, 4, "test");
    header.replace(65, 8, "PNTGMPNT");
    for (int i = 0; i < 4; ++i)
        header[83 + i] = char((bare.size() >> (24 - 8 * i)) & 0xFF);
    QByteArray padded = header + bare;
    padded.append(QByteArray((128 - bare.size() % 128) % 128, '\0'));
    return padded;
}

// Decodes a file with ImageMagick 6 (or, for formats it lacks, OpenImageIO's oiiotool into a
// PNG that ImageMagick then reads) into straight RGBA. Null when the oracle cannot decode it.
inline QImage decodeWithOracle(const QString& path, bool viaOiio = false, QString* log = nullptr)
{
    QString source = path;
    QTemporaryDir dir;
    if (path.endsWith(QLatin1String(".mac"), Qt::CaseInsensitive)) {
        QFile bare(path);
        if (bare.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = bare.readAll();
            if (bytes.size() > 73 && bytes.mid(65, 4) != "PNTG") {
                source = dir.filePath(QStringLiteral("oracle.mac"));
                QFile wrapped(source);
                if (!wrapped.open(QIODevice::WriteOnly) || wrapped.write(macBinary(bytes)) < 0)
                    return {};
            }
        }
    }
    if (viaOiio) {
        source = dir.filePath(QStringLiteral("oracle.png"));
        QProcess oiio;
        oiio.start(QStringLiteral("oiiotool"),
                   {path, QStringLiteral("-d"), QStringLiteral("uint8"), QStringLiteral("-o"),
                    source});
        if (!oiio.waitForFinished(60000) || oiio.exitCode() != 0) {
            if (log)
                *log = QString::fromLocal8Bit(oiio.readAllStandardError());
            return {};
        }
    }
    QProcess convert;
    // [0]: the first picture only; -auto-orient: upright as a viewer shows it.
    convert.start(QStringLiteral("/usr/bin/convert"),
                  {source + QStringLiteral("[0]"), QStringLiteral("-auto-orient"),
                   QStringLiteral("-colorspace"), QStringLiteral("sRGB"),
                   QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("-format"),
                   QStringLiteral("%w %h\n"), QStringLiteral("-write"), QStringLiteral("info:-"),
                   QStringLiteral("RGBA:-")});
    if (!convert.waitForFinished(60000) || convert.exitCode() != 0) {
        if (log)
            *log = QString::fromLocal8Bit(convert.readAllStandardError());
        return {};
    }
    const QByteArray all = convert.readAllStandardOutput();
    const qsizetype nl = all.indexOf('\n');
    const QList<QByteArray> size = all.left(nl).split(' ');
    if (size.size() != 2)
        return {};
    const int w = size[0].toInt();
    const int h = size[1].toInt();
    const QByteArray data = all.mid(nl + 1);
    if (w <= 0 || h <= 0 || data.size() != qsizetype(w) * h * 4)
        return {};
    QImage image(reinterpret_cast<const uchar*>(data.constData()), w, h, w * 4,
                 QImage::Format_RGBA8888);
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The largest difference of any channel (alpha included) between two pictures of one size;
// two premultiplied pictures are compared premultiplied.
inline int maxDifference(const QImage& a, const QImage& b)
{
    const bool pre = a.format() == QImage::Format_ARGB32_Premultiplied &&
                     b.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage x = pre ? a : a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = pre ? b : b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            worst = std::max({worst, std::abs(qRed(p[col]) - qRed(q[col])),
                              std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col])),
                              std::abs(qAlpha(p[col]) - qAlpha(q[col]))});
        }
    }
    return worst;
}

// Peak signal-to-noise ratio of the colour channels, in dB (1000 for identical pictures).
inline double psnr(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const double dr = qRed(p[col]) - qRed(q[col]);
            const double dg = qGreen(p[col]) - qGreen(q[col]);
            const double db = qBlue(p[col]) - qBlue(q[col]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    const double mse = sum / (3.0 * x.width() * x.height());
    return mse == 0 ? 1000 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Keeps a failing output in the build tree and returns where it went.
inline QString keepFailure(const QString& path, const QString& name)
{
    const QString dir = QStringLiteral(QUILLON_BINARY_DIR "/test-failures");
    QDir().mkpath(dir);
    const QString kept = dir + QLatin1Char('/') + name;
    QFile::remove(kept);
    QFile::copy(path, kept);
    return kept;
}

// The same picture composited over white, worked out independently of QPainter.
inline QImage overWhite(const QImage& picture)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qAlpha(line[x]);
            auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            line[x] = qRgb(mix(qRed(line[x])), mix(qGreen(line[x])), mix(qBlue(line[x])));
        }
    }
    return out;
}

// A smooth test picture (gradients, so lossy codecs are judged on photo-like content), with
// an alpha ramp when asked.
inline QImage testPicture(bool alpha, int w = 96, int h = 64)
{
    QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = alpha ? (x * 255 / (w - 1)) : 255;
            image.setPixel(x, y, qRgba(x * 255 / (w - 1), y * 255 / (h - 1),
                                       ((x + y) * 127 / (w + h)) + 64, a));
        }
    return image;
}

} // namespace imagetest
