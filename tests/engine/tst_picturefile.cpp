#include "engine/imageservices/picturefile.h"

#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/codecs/pict/pictcodec.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::engine;

namespace {

QByteArray head(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(kSniffBytes) : QByteArray();
}

} // namespace

class tst_picturefile : public QObject
{
    Q_OBJECT

private slots:
    void corpusPicturesAreRecognised_data();
    void corpusPicturesAreRecognised();
    void oddFiles_data();
    void oddFiles();
    void contentNotName_data();
    void contentNotName();
};

void tst_picturefile::corpusPicturesAreRecognised_data()
{
    QTest::addColumn<QString>("path");
    for (const char* folder : {"photos-exif", "icc", "alpha", "formats", "legacy", "raw"}) {
        QDirIterator it(QStringLiteral(QUILLON_CORPUS "/") + QLatin1String(folder), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(QDir(QStringLiteral(QUILLON_CORPUS)).relativeFilePath(path))) << path;
        }
    }
}

void tst_picturefile::corpusPicturesAreRecognised()
{
    QFETCH(QString, path);
    if (path.contains("/raw/kodak_c330.raw")) {
        // A raw whose name ending the raw list does not hold, and without a magic number.
        QVERIFY(!IsPictureFileMBS(path));
        return;
    }
    // PICT and MacPaint have no fixed magic number; their own codecs recognise them.
    if (path.contains("/legacy/pict/") && !codecs::looksLikePict(head(path)))
        QSKIP("the PICT codec does not recognise this file");
    if (path.contains("/legacy/macpaint/") && !codecs::looksLikeMacPaint(head(path)))
        QSKIP("the MacPaint codec does not recognise this file");
    QVERIFY(IsPictureFileMBS(path));
}

void tst_picturefile::oddFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("picture");
    // Damaged files still begin like pictures: the importer, not this test, refuses them.
    QTest::newRow("JPEG named .nef") << "jpeg_named.nef" << true;
    QTest::newRow("JPEG named .gif") << "jpg_with_gif_extension.gif" << true;
    QTest::newRow("PNG named .jpg") << "png_named.jpg" << true;
    QTest::newRow("truncated JPEG") << "real_truncated.jpg" << true;
    QTest::newRow("bomb header PNG") << "bomb.png" << true;
    QTest::newRow("bomb header SGI") << "bomb_65535.sgi" << true;
    QTest::newRow("bomb header PSD") << "bomb_30000.psd" << true;
    QTest::newRow("bomb header GIF") << "decompression_bomb.gif" << true;
    QTest::newRow("raw header stub, by its name") << "stub_header.orf" << true;
    QTest::newRow("empty JPEG") << "zero_byte.jpg" << false;
    QTest::newRow("empty raw") << "zero_byte.nef" << false;
}

void tst_picturefile::oddFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, picture);
    QCOMPARE(IsPictureFileMBS(QStringLiteral(QUILLON_CORPUS "/odd/") + name), picture);
}

void tst_picturefile::contentNotName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("picture");
    QTest::newRow("text named .jpg") << "notes.jpg" << QByteArray("hello, this is text\n") << false;
    QTest::newRow("BM without a BMP header") << "x.bmp" << QByteArray("BMW is a car, not a picture") << false;
    QTest::newRow("zip named .png") << "a.png" << QByteArray("PK\x03\x04" "0000000000000000", 20) << false;
    QTest::newRow("RIFF audio") << "a.webp" << QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16) << false;
    QTest::newRow("ftyp of a video") << "a.heic" << QByteArray("\0\0\0\x18" "ftypmp42\0\0\0\0", 16) << false;
    QTest::newRow("WebP") << "a.bin" << QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16) << true;
    QTest::newRow("HEIC") << "a.bin" << QByteArray("\0\0\0\x18" "ftypheic\0\0\0\0", 16) << true;
    QTest::newRow("AVIF") << "a.bin" << QByteArray("\0\0\0\x1c" "ftypavif\0\0\0\0", 16) << true;
    QTest::newRow("PPM") << "a.bin" << QByteArray("P6\n2 2\n255\n") << true;
    QTest::newRow("P without a digit") << "a.bin" << QByteArray("Plain text\n") << false;
    QTest::newRow("ICO") << "a.bin" << QByteArray("\0\0\1\0\1\0\x10\x10", 8) << true;
    QTest::newRow("OpenEXR") << "a.bin" << QByteArray("\x76\x2f\x31\x01\2\0\0\0", 8) << true;
    QTest::newRow("DPX") << "a.bin" << QByteArray("SDPX\0\0\0\0") << true;
    QTest::newRow("Radiance") << "a.bin" << QByteArray("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n") << true;
    QTest::newRow("big-endian TIFF") << "a.bin" << QByteArray("MM\0*\0\0\0\x08", 8) << true;
    QTest::newRow("JPEG 2000 codestream") << "a.bin" << QByteArray("\xff\x4f\xff\x51\0\x2f", 6) << true;
    QTest::newRow("Targa by name") << "a.TGA" << QByteArray("\0\0\2\0\0\0\0\0", 8) << true;
    QTest::newRow("Targa .tpic") << "a.tpic" << QByteArray("\0\0\2\0\0\0\0\0", 8) << true;
    QTest::newRow("raw by name without dot") << "photoNEF" << QByteArray("anything") << true;
    QTest::newRow("raw ending followed by more") << "x.nef.txt" << QByteArray("anything") << false;
}

void tst_picturefile::contentNotName()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, picture);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QCOMPARE(IsPictureFileMBS(file.fileName()), picture);
    QVERIFY(!IsPictureFileMBS(dir.path())); // a folder is no picture file
}

QTEST_GUILESS_MAIN(tst_picturefile)
#include "tst_picturefile.moc"
