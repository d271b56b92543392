#pragma once

// Picture comparison for the codec tests: a failing comparison leaves the actual picture in
// the build tree and prints its path.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <algorithm>

namespace quillon::tests {

// Largest difference of any channel over two equal-size pictures; colour is ignored where
// both are fully transparent.
inline int maxDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            int d = qAbs(qAlpha(p) - qAlpha(q));
            if (qAlpha(p) || qAlpha(q))
                d = std::max({d, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                              qAbs(qBlue(p) - qBlue(q))});
            worst = std::max(worst, d);
        }
    return worst;
}

// Compares, and on failure leaves the actual picture in the build tree.
inline bool samePicture(const QImage& actual, const QImage& expected, int tolerance, const QString& name)
{
    const QString dir = QStringLiteral(QUILLON_BINARY_DIR "/test-output/codecs");
    if (actual.size() == expected.size()) {
        const int d = maxDifference(actual, expected);
        if (d <= tolerance)
            return true;
        qWarning("%s: channels differ by up to %d (tolerance %d)", qPrintable(name), d, tolerance);
    } else {
        qWarning("%s: size %dx%d, expected %dx%d", qPrintable(name), actual.width(),
                 actual.height(), expected.width(), expected.height());
    }
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    actual.save(path);
    qWarning("actual output saved as %s", qPrintable(path));
    return false;
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace quillon::tests
