// The exporter over every output format: what it writes, read back by Quillon and by an
// independent decoder; the options; metadata and colour profiles in the written files.

#include "imagetesthelpers.h"

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/macpaint/macpaintcodec.h"
#include "engine/imageservices/colorprofiles.h"
#include "engine/imageservices/imageexporter.h"
#include "engine/imageservices/imageimporter.h"
#include "settings/exporterhandle.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::engine;

namespace {

// The own PSD, PICT and MacPaint writers may not be built in this tree yet; their rows are
// skipped with that message instead of failing.
bool notBuiltYet(const QString& error)
{
    return error.contains(QLatin1String("not built yet"));
}

QString exiftool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("exiftool"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_ImageExporter : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void options_data();
    void options();
    void neverReplacesAFile();
    void callerReservation();
    void failedWriteLeavesNothing();
    void metadataAndProfile_data();
    void metadataAndProfile();
    void embedProfileInPlace_data();
    void embedProfileInPlace();

private:
    QTemporaryDir m_dir;
    QString exportPicture(const QString& type, const QString& settings, const QImage& picture,
                          const QString& name, QString* error, double dpi = 72);
};

QString tst_ImageExporter::exportPicture(const QString& type, const QString& settings,
                                         const QImage& picture, const QString& name,
                                         QString* error, double dpi)
{
    ImageExporter exporter;
    if (!exporter.openExporter(type)) {
        *error = QStringLiteral("no exporter for ") + type;
        return {};
    }
    exporter.setSettings(settings);
    exporter.setResolution(dpi, dpi);
    exporter.setInputPicture(picture);
    const QString path = m_dir.filePath(name + QLatin1Char('.') +
                                        exporter.defaultFileNameExtension());
    QFile::remove(path);
    exporter.setOutputFile(path);
    const ExportResult result = exporter.Export();
    *error = result.error;
    return result.ok ? path : QString();
}

void tst_ImageExporter::roundTrip_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("alpha");
    for (const auto& codec : quillon::engine::codecs::codecs()) {
        for (bool alpha : {false, true})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(codec.menuEntry),
                                                                alpha ? "RGBA" : "RGB")))
                << codec.code << alpha;
    }
}

void tst_ImageExporter::roundTrip()
{
    QFETCH(int, code);
    QFETCH(bool, alpha);
    const auto* codec = codecs::codecByCode(code);
    QVERIFY(codec);
    const QImage picture = imagetest::testPicture(alpha);
    QString error;
    const QString name = QStringLiteral("roundtrip_%1_%2").arg(code).arg(alpha);
    const QString path = exportPicture(QLatin1String(codec->type), {}, picture, name, &error, 150);
    if (path.isEmpty() && notBuiltYet(error))
        QSKIP(qPrintable(error));
    QVERIFY2(!path.isEmpty(), qPrintable(error));
    QVERIFY(path.endsWith(QLatin1Char('.') + QLatin1String(codec->extension)));

    // At default options; BMP keeps alpha only at depth 32.
    const bool keepsAlpha = alpha && codec->alpha &&
                            !(codec->alphaOptionKey && !codec->alphaUnlessOption);
    QImage expected = keepsAlpha ? picture.convertToFormat(QImage::Format_ARGB32)
                                 : imagetest::overWhite(picture);
    if (codec->writer == codecs::CodecWriter::MacPaint)
        expected = codecs::macPaintPage(picture).convertToFormat(QImage::Format_ARGB32);
    const bool lossy = codec->code == 0; // JPEG; JPEG 2000 is written lossless

    ImageImporter importer;
    QVERIFY2(importer.openFile(path), qPrintable(importer.errorString()));
    const QImage quillon = importer.picture();
    QString log;
    const bool viaOiio = codec->writer == codecs::CodecWriter::OpenImageIO &&
                         QLatin1String(codec->writerFormat) == QLatin1String("iff");
    const QImage oracle = imagetest::decodeWithOracle(path, viaOiio, &log);
    QVERIFY2(!oracle.isNull(), qPrintable(QStringLiteral("oracle cannot read %1: %2")
                                              .arg(imagetest::keepFailure(path, QFileInfo(path).fileName()), log)));
    for (const auto& [who, image] : {std::pair{"Quillon", quillon}, std::pair{"oracle", oracle}}) {
        QCOMPARE(image.size(), expected.size());
        if (lossy) {
            const double db = imagetest::psnr(image, expected);
            QVERIFY2(db >= 38.0, qPrintable(QStringLiteral("%1 reads %2 dB in %3").arg(
                                     QLatin1String(who)).arg(db).arg(imagetest::keepFailure(
                                     path, QFileInfo(path).fileName()))));
        } else {
            // Compositing over white may round one step differently from the reference.
            // Premultiplied formats are compared premultiplied: colour under alpha 0 is gone.
            const int tolerance = keepsAlpha && !codec->premultipliedAlpha ? 0 : 1;
            const int diff =
                codec->premultipliedAlpha && keepsAlpha
                    ? imagetest::maxDifference(
                          image.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                          expected.convertToFormat(QImage::Format_ARGB32_Premultiplied))
                    : imagetest::maxDifference(image, expected);
            QVERIFY2(diff <= tolerance,
                     qPrintable(QStringLiteral("%1 differs by %2, output kept in %3")
                                    .arg(QLatin1String(who))
                                    .arg(diff)
                                    .arg(imagetest::keepFailure(path, QFileInfo(path).fileName()))));
        }
    }
    if (codec->writer != codecs::CodecWriter::MacPaint && importer.horizontalResolution() != 72)
        QVERIFY2(std::abs(importer.horizontalResolution() - 150) < 0.1,
                 qPrintable(QString::number(importer.horizontalResolution())));
}

// What an option does to the written file: a header byte, a tag seen by exiftool or
// ImageMagick, or the file size compared with another setting.
void tst_ImageExporter::options_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("probe"); // "byte:N", "exif:Tag", "interlace", "smaller:<settings>"
    QTest::addColumn<QString>("expected");
    QTest::newRow("JPEG quality 30 smaller than 95") << "JPEG" << "quality=30" << "smaller:quality=95" << "";
    QTest::newRow("JPEG baseline") << "JPEG" << "progressive=0" << "interlace" << "None";
    QTest::newRow("JPEG progressive") << "JPEG" << "progressive=1" << "interlace" << "JPEG";
    QTest::newRow("TIFF lzw") << "TIFF" << "compression=lzw" << "exif:Compression" << "5";
    QTest::newRow("TIFF none") << "TIFF" << "compression=none" << "exif:Compression" << "1";
    QTest::newRow("TIFF deflate") << "TIFF" << "compression=deflate" << "exif:Compression" << "8";
    QTest::newRow("TIFF packbits") << "TIFF" << "compression=packbits" << "exif:Compression" << "32773";
    QTest::newRow("TIFF jpeg") << "TIFF" << "compression=jpeg" << "exif:Compression" << "7";
    QTest::newRow("TIFF jpeg quality 20 smaller than 95") << "TIFF" << "compression=jpeg;quality=20" << "smaller:compression=jpeg;quality=95" << "";
    QTest::newRow("BMP 24 bits") << "BMPf" << "depth=24" << "byte:28" << "24";
    QTest::newRow("BMP 32 bits") << "BMPf" << "depth=32" << "byte:28" << "32";
    QTest::newRow("SGI verbatim") << ".SGI" << "" << "byte:2" << "0";
    QTest::newRow("PNG level 9 smaller than 0") << "PNGf" << "compression=9" << "smaller:compression=0" << "";
    QTest::newRow("Targa rle") << "TPIC" << "compression=rle" << "byte:2" << "10";
    QTest::newRow("Targa none") << "TPIC" << "compression=none" << "byte:2" << "2";
    QTest::newRow("Photoshop rle") << "8BPS" << "compression=rle" << "smaller:compression=none" << "";
    QTest::newRow("PICT packbits") << "PICT" << "compression=packbits" << "smaller:compression=none" << "";
}

void tst_ImageExporter::options()
{
    QFETCH(QString, type);
    QFETCH(QString, settings);
    QFETCH(QString, probe);
    QFETCH(QString, expected);
    // Flat areas, so run-length coding has runs to find, beside a gradient.
    QImage picture = imagetest::testPicture(true, 160, 120);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y, qRgba(200, 30, 30, 255));
    QString error;
    const QString path = exportPicture(type, settings, picture, QStringLiteral("option"), &error);
    if (path.isEmpty() && notBuiltYet(error))
        QSKIP(qPrintable(error));
    QVERIFY2(!path.isEmpty(), qPrintable(error));
    ImageImporter importer;
    QVERIFY2(importer.openFile(path), qPrintable(importer.errorString()));
    QCOMPARE(importer.picture().size(), picture.size());

    QString actual;
    if (probe.startsWith(QLatin1String("byte:"))) {
        actual = QString::number(uchar(readFile(path).at(probe.mid(5).toInt())));
    } else if (probe.startsWith(QLatin1String("exif:"))) {
        actual = exiftool({QStringLiteral("-n"), QStringLiteral("-s3"),
                           QLatin1Char('-') + probe.mid(5), path});
    } else if (probe == QLatin1String("interlace")) {
        QProcess identify;
        identify.start(QStringLiteral("/usr/bin/identify"),
                       {QStringLiteral("-format"), QStringLiteral("%[interlace]"), path});
        identify.waitForFinished(60000);
        actual = QString::fromLatin1(identify.readAllStandardOutput()).trimmed();
    } else if (probe.startsWith(QLatin1String("smaller:"))) {
        const qint64 size = QFileInfo(path).size();
        const QString other = exportPicture(type, probe.mid(8), picture,
                                            QStringLiteral("option_other"), &error);
        QVERIFY2(!other.isEmpty(), qPrintable(error));
        QVERIFY2(size < QFileInfo(other).size(),
                 qPrintable(QStringLiteral("%1 bytes, %2 bytes with %3")
                                .arg(size)
                                .arg(QFileInfo(other).size())
                                .arg(probe.mid(8))));
        return;
    }
    QCOMPARE(actual, expected);
}

void tst_ImageExporter::neverReplacesAFile()
{
    const QString path = m_dir.filePath(QStringLiteral("taken.png"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    ImageExporter exporter;
    QVERIFY(exporter.openExporter(QStringLiteral("PNGf")));
    exporter.setInputPicture(imagetest::testPicture(false));
    for (Reservation reservation : {Reservation::Exclusive, Reservation::CallerReserved}) {
        exporter.setOutputFile(path, reservation);
        const ExportResult result = exporter.Export();
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(path), qPrintable(result.error));
        QCOMPARE(readFile(path), QByteArray("keep me"));
    }
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral("taken")),
             QStringList{QStringLiteral("taken.png")});
}

void tst_ImageExporter::callerReservation()
{
    const QString path = m_dir.filePath(QStringLiteral("reserved.png"));
    QFile reservation(path);
    QVERIFY(reservation.open(QIODevice::WriteOnly));
    reservation.close();
    ImageExporter exporter;
    QVERIFY(exporter.openExporter(QStringLiteral("PNGf")));
    exporter.setInputPicture(imagetest::testPicture(false));
    exporter.setOutputFile(path, Reservation::CallerReserved);
    const ExportResult result = exporter.Export();
    QVERIFY2(result.ok, qPrintable(result.error));
    ImageImporter importer;
    QVERIFY2(importer.openFile(path), qPrintable(importer.errorString()));
    QCOMPARE(importer.picture().size(), QSize(96, 64));
}

void tst_ImageExporter::failedWriteLeavesNothing()
{
    // A picture larger than a Targa header can state makes the writer fail after the
    // reservation was made: neither the reservation nor the temporary file may remain.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.tga"));
    ImageExporter exporter;
    QVERIFY(exporter.openExporter(QStringLiteral("TPIC")));
    QImage wide(70000, 1, QImage::Format_RGB32);
    wide.fill(Qt::red);
    exporter.setInputPicture(wide);
    exporter.setOutputFile(path);
    const ExportResult result = exporter.Export();
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot),
             QStringList());
    // A JPEG wider than libjpeg takes is refused before the writer could end the process.
    ImageExporter jpeg;
    QVERIFY(jpeg.openExporter(QStringLiteral("JPEG")));
    QImage tooWide(65501, 1, QImage::Format_RGB32);
    tooWide.fill(Qt::blue);
    jpeg.setInputPicture(tooWide);
    jpeg.setOutputFile(dir.filePath(QStringLiteral("wide.jpg")));
    const ExportResult refused = jpeg.Export();
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains(QLatin1String("65500")), qPrintable(refused.error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot),
             QStringList());
    // An exporter without a picture or a format fails with a message too.
    ImageExporter empty;
    QVERIFY(!empty.openExporter(QStringLiteral("XXXX")));
    empty.setOutputFile(path);
    QVERIFY(!empty.Export().ok);
    QVERIFY(!QFile::exists(path));
}

void tst_ImageExporter::metadataAndProfile_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("storesResolution");
    QTest::newRow("JPEG") << "JPEG" << true;
    QTest::newRow("TIFF") << "TIFF" << true;
    QTest::newRow("PNG") << "PNGf" << true;
    QTest::newRow("JPEG 2000") << "jp2 " << false;
}

void tst_ImageExporter::metadataAndProfile()
{
    QFETCH(QString, type);
    QFETCH(bool, storesResolution);
    ImageImporter source;
    QVERIFY2(source.openFile(QStringLiteral(QUILLON_CORPUS "/photos-exif/nikon_p6000_gps.jpg")),
             qPrintable(source.errorString()));
    QVERIFY(source.hasMetadata());
    ImageImporter profileSource;
    QVERIFY(profileSource.openFile(QStringLiteral(QUILLON_CORPUS "/icc/adobergb_canon_eos7d.jpg")));
    const QByteArray icc = profileSource.iccProfile();
    QCOMPARE(iccDescription(icc), QStringLiteral("Adobe RGB (1998)"));

    const QImage half = source.picture().scaled(source.width() / 2, source.height() / 2);
    ImageExporter exporter;
    QVERIFY(exporter.openExporter(type));
    exporter.setInputPicture(half);
    exporter.setColorSyncProfileData(icc);
    exporter.setExifEnabled(true);
    exporter.setMetaData(source.metadata());
    exporter.setResolution(240, 240);
    const QString path =
        m_dir.filePath(QStringLiteral("meta.") + exporter.defaultFileNameExtension());
    QFile::remove(path);
    exporter.setOutputFile(path);
    const ExportResult result = exporter.Export();
    QVERIFY2(result.ok, qPrintable(result.error));

    const QString sourceJson = exiftool({QStringLiteral("-j"), QStringLiteral("-n"),
                                         QString::fromLatin1(QUILLON_CORPUS "/photos-exif/nikon_p6000_gps.jpg")});
    const QString json = exiftool({QStringLiteral("-j"), QStringLiteral("-n"), path});
    const QJsonObject before = QJsonDocument::fromJson(sourceJson.toUtf8()).array().at(0).toObject();
    const QJsonObject after = QJsonDocument::fromJson(json.toUtf8()).array().at(0).toObject();
    for (const char* tag : {"Make", "Model", "DateTimeOriginal", "GPSLatitude", "GPSLongitude"}) {
        QVERIFY2(before.contains(QLatin1String(tag)), tag);
        QVERIFY2(after.value(QLatin1String(tag)) == before.value(QLatin1String(tag)),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(tag),
                                                         after.value(QLatin1String(tag)).toVariant().toString())));
    }
    QCOMPARE(after.value(QLatin1String("Orientation")).toInt(), 1);
    QCOMPARE(after.value(QLatin1String("ExifImageWidth")).toInt(), half.width());
    QCOMPARE(after.value(QLatin1String("ExifImageHeight")).toInt(), half.height());
    QCOMPARE(after.value(QLatin1String("ImageWidth")).toInt(), half.width());
    QVERIFY2(!after.contains(QLatin1String("ThumbnailImage")) &&
                 !after.contains(QLatin1String("ThumbnailOffset")),
             "the source's Exif thumbnail was copied");
    QCOMPARE(after.value(QLatin1String("ProfileDescription")).toString(),
             QStringLiteral("Adobe RGB (1998)"));

    ImageImporter back;
    QVERIFY2(back.openFile(path), qPrintable(back.errorString()));
    QCOMPARE(back.picture().size(), half.size());
    if (storesResolution)
        QVERIFY2(std::abs(back.horizontalResolution() - 240) < 0.1,
                 qPrintable(QString::number(back.horizontalResolution())));
    QCOMPARE(back.iccProfile(), icc);
}

void tst_ImageExporter::embedProfileInPlace_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("carriesProfile");
    QTest::newRow("JPEG") << "JPEG" << true;
    QTest::newRow("TIFF") << "TIFF" << true;
    QTest::newRow("PNG") << "PNGf" << true;
    QTest::newRow("BMP keeps no profile") << "BMPf" << false;
}

void tst_ImageExporter::embedProfileInPlace()
{
    QFETCH(QString, type);
    QFETCH(bool, carriesProfile);
    ImageImporter profileSource;
    QVERIFY(profileSource.openFile(QStringLiteral(QUILLON_CORPUS "/icc/adobergb_canon_eos7d.jpg")));
    const QByteArray icc = profileSource.iccProfile();
    QString error;
    const QString path = exportPicture(type, {}, imagetest::testPicture(false),
                                       QStringLiteral("inplace"), &error);
    QVERIFY2(!path.isEmpty(), qPrintable(error));
    ImageImporter before;
    QVERIFY(before.openFile(path));
    const QByteArray bytesBefore = readFile(path);

    const ExportResult result = quillon::engine::embedProfileInPlace(path, icc);
    QVERIFY2(result.ok, qPrintable(result.error));
    ImageImporter after;
    QVERIFY2(after.openFile(path), qPrintable(after.errorString()));
    QCOMPARE(after.picture(), before.picture());
    const QString description = exiftool({QStringLiteral("-s3"),
                                          QStringLiteral("-ProfileDescription"), path});
    if (carriesProfile) {
        QCOMPARE(description, QStringLiteral("Adobe RGB (1998)"));
        QVERIFY2(after.iccProfile() == icc,
                 qPrintable(QStringLiteral("Quillon reads another profile; kept in ") +
                            imagetest::keepFailure(path, QFileInfo(path).fileName())));
    } else {
        QCOMPARE(readFile(path), bytesBefore);
    }
    QVERIFY(!quillon::engine::embedProfileInPlace(path, QByteArray("not a profile")).ok);
}

QTEST_GUILESS_MAIN(tst_ImageExporter)
#include "tst_imageexporter.moc"
