#include "engine/codecs/macpaint/macpaintcodec.h"

#include "engine/codecs/codecio_p.h"
#include "engine/codecs/pict/pictcodec.h"

#include <QImage>
#include <QIODevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace quillon::engine::codecs {

namespace {

constexpr int kRowBytes = kMacPaintWidth / 8; // 72
constexpr int kHeaderBytes = 512;
constexpr int kMacBinaryBytes = 128;

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

std::uint32_t be32(const QByteArray& d, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(d.constData()) + at;
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8)
           | p[3];
}

// A MacBinary I/II header: zero version and filler bytes, a name of 1..63 characters, and
// file type "PNTG".
bool isMacBinaryPaint(const QByteArray& d)
{
    if (d.size() < kMacBinaryBytes)
        return false;
    const int nameLength = uchar(d[1]);
    return d[0] == 0 && d[74] == 0 && d[82] == 0 && nameLength >= 1 && nameLength <= 63
           && d.mid(65, 4) == "PNTG";
}

bool knownVersion(std::uint32_t version)
{
    return version == 0 || version == 2 || version == 3;
}

QVector<QRgb> pageColours()
{
    return {qRgb(255, 255, 255), qRgb(0, 0, 0)}; // bit set = black, as in the file
}

} // namespace

bool looksLikeMacPaint(const QByteArray& head)
{
    if (isMacBinaryPaint(head))
        return true;
    // A bare file: a known version word, and the rows that follow decode as PackBits to whole
    // 72-byte rows. A PICT with its (usually zero) 512-byte header is not MacPaint.
    if (head.size() < kHeaderBytes + 16 || !knownVersion(be32(head, 0)) || looksLikePict(head))
        return false;
    const auto* in = reinterpret_cast<const uchar*>(head.constData()) + kHeaderBytes;
    if (std::all_of(in, in + 16, [](uchar b) { return b == 0; }))
        return false; // zeros decode as PackBits, but no paint program writes them
    qsizetype left = head.size() - kHeaderBytes;
    uchar row[kRowBytes];
    int rows = 0;
    while (rows < 8) {
        const qsizetype used = unpackBits(in, left, row, kRowBytes);
        if (used < 0)
            break;
        in += used;
        left -= used;
        ++rows;
    }
    return rows >= 1;
}

bool readMacPaint(const QByteArray& data, QImage* picture, QString* error)
{
    qsizetype start = 0, end = data.size();
    if (isMacBinaryPaint(data)) {
        const qsizetype fork = be32(data, 83);
        if (fork < kHeaderBytes || fork > data.size() - kMacBinaryBytes)
            return fail(error, QStringLiteral("MacPaint: the MacBinary header gives a data fork "
                                              "of %1 bytes, but the file holds %2.")
                                   .arg(fork).arg(data.size() - kMacBinaryBytes));
        start = kMacBinaryBytes;
        end = start + fork;
    }
    if (end - start < kHeaderBytes)
        return fail(error, QStringLiteral("MacPaint: the file is shorter than its 512-byte header."));
    if (!knownVersion(be32(data, start)))
        return fail(error, QStringLiteral("MacPaint: unknown version %1 in the header.")
                               .arg(be32(data, start)));

    QImage page(kMacPaintWidth, kMacPaintHeight, QImage::Format_Mono);
    if (page.isNull())
        return fail(error, QStringLiteral("MacPaint: out of memory."));
    page.setColorTable(pageColours());
    const auto* in = reinterpret_cast<const uchar*>(data.constData()) + start + kHeaderBytes;
    qsizetype left = end - start - kHeaderBytes;
    // Runs may cross row ends in files from some writers, so the rows are one PackBits stream.
    std::vector<uchar> bits(size_t(kRowBytes) * kMacPaintHeight);
    if (unpackBits(in, left, bits.data(), qsizetype(bits.size())) < 0) {
        // Say how far the picture got: decode row by row up to the damage.
        int rows = 0;
        for (uchar row[kRowBytes]; rows < kMacPaintHeight; ++rows) {
            const qsizetype used = unpackBits(in, left, row, kRowBytes);
            if (used < 0)
                break;
            in += used;
            left -= used;
        }
        return fail(error, QStringLiteral("MacPaint: the picture data ends at row %1 of %2.")
                               .arg(rows + 1).arg(kMacPaintHeight));
    }
    for (int y = 0; y < kMacPaintHeight; ++y)
        std::memcpy(page.scanLine(y), bits.data() + qsizetype(y) * kRowBytes, kRowBytes);
    page.setDotsPerMeterX(2835); // 72 dpi
    page.setDotsPerMeterY(2835);
    *picture = page;
    return true;
}

QImage macPaintPage(const QImage& picture)
{
    QImage page(kMacPaintWidth, kMacPaintHeight, QImage::Format_Mono);
    page.setColorTable(pageColours());
    page.fill(0);
    if (picture.isNull())
        return page;

    // Shrink to fit (never enlarge), then composite over white.
    QSize size = picture.size();
    if (size.width() > kMacPaintWidth || size.height() > kMacPaintHeight)
        size = size.scaled(kMacPaintWidth, kMacPaintHeight, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    QImage flat(size, QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size), picture);
    }

    // Atkinson dithering: 6/8 of the error goes to six neighbours, which keeps highlights
    // and shadows clean. Error that falls outside the picture is dropped so the white page
    // around it stays white.
    const int w = size.width(), h = size.height();
    std::vector<int> rows(size_t(3) * (w + 2), 0); // three rows of error, one spare each side
    auto err = [&](int y, int x) -> int& { return rows[size_t(y % 3) * (w + 2) + size_t(x + 1)]; };
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
        uchar* out = page.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x];
            const int gray = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114 + 500) / 1000;
            const int value = gray + err(y, x);
            const int shown = value < 128 ? 0 : 255;
            if (shown == 0)
                out[x >> 3] |= uchar(0x80 >> (x & 7));
            const int spread = (value - shown) / 8;
            if (x + 1 < w)
                err(y, x + 1) += spread;
            if (x + 2 < w)
                err(y, x + 2) += spread;
            if (y + 1 < h) {
                if (x > 0)
                    err(y + 1, x - 1) += spread;
                err(y + 1, x) += spread;
                if (x + 1 < w)
                    err(y + 1, x + 1) += spread;
            }
            if (y + 2 < h)
                err(y + 2, x) += spread;
        }
        // This row's error slot is reused for row y + 3.
        std::fill_n(rows.begin() + std::ptrdiff_t(size_t(y % 3) * (w + 2)), w + 2, 0);
    }
    return page;
}

bool writeMacPaint(const QImage& picture, QIODevice& out, QString* error)
{
    if (picture.isNull())
        return fail(error, QStringLiteral("MacPaint: there is no picture to write."));
    const QImage page = macPaintPage(picture);
    QByteArray file(kHeaderBytes, '\0');
    file[3] = 2; // version 2, patterns left empty
    for (int y = 0; y < kMacPaintHeight; ++y)
        packBits(page.constScanLine(y), kRowBytes, file);
    if (out.write(file) != file.size())
        return fail(error, QStringLiteral("MacPaint: could not write the file: %1")
                               .arg(out.errorString()));
    return true;
}

} // namespace quillon::engine::codecs
