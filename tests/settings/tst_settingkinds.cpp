// The eight setting kinds: defaults, the label table, and each kind's record in the stream.

#include "settings/binaryextras.h"
#include "settings/globals.h"
#include "settings/settingkinds.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::settings;

namespace {

QByteArray recordOf(const batchSetting& item)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!item.writeValues(buffer))
        return QByteArray("write failed");
    return bytes;
}

QByteArray str(const QByteArray& utf8)
{
    return QByteArray::fromHex(QByteArray::number(utf8.size(), 16).rightJustified(4, '0')) + utf8;
}

// Reads a record the way a settings file reader does: the kind code, then readValues.
template <typename Kind> void readInto(Kind& item, const QByteArray& record)
{
    binaryExtras::ByteReader reader(record);
    reader.readShort(); // the kind code, which chose the kind
    item.readValues(reader);
    QVERIFY(!reader.failed());
    QVERIFY(reader.atEnd());
}

} // namespace

Q_DECLARE_METATYPE(quillon::settings::SettingPtr)

class tst_SettingKinds : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void labels_data();
    void labels();
    void kindNames();
    void goldenRecords_data();
    void goldenRecords();
    void roundTrip_data();
    void roundTrip();
    void formatExporter_data();
    void formatExporter();
    void watermarkFile();
};

void tst_SettingKinds::defaults()
{
    const scaleSetting scale;
    QCOMPARE(scale.width, 400);
    QCOMPARE(scale.height, 100);
    QCOMPARE(scale.resolution, 300);
    QCOMPARE(scale.constrainProportions, true);
    QCOMPARE(scale.mode, 0);
    QCOMPARE(scale.setResolution, false);
    QCOMPARE(scale.resKeepScale, false);

    const nameSetting name;
    QCOMPARE(name.prefixMode, (std::array<int, 3>{5, 5, 5}));
    QCOMPARE(name.suffixMode, (std::array<int, 3>{1, 6, 6}));
    QCOMPARE(name.prefixString[0], QStringLiteral("None"));
    QCOMPARE(name.prefixString[2], QStringLiteral("None"));
    QCOMPARE(name.suffixString[0], QStringLiteral("Extension"));
    QCOMPARE(name.suffixString[1], QStringLiteral("None"));
    QCOMPARE(name.nameSeparator, true);

    const rawSetting raw;
    QCOMPARE(raw.rawRed, 68);
    QCOMPARE(raw.rawBlue, 68);
    QCOMPARE(raw.rawBrightness, 68);
    QCOMPARE(raw.rawWhiteBalance, 0);

    const formatSetting format;
    QCOMPARE(format.format, 0);
    QVERIFY(format.exporter);
    QCOMPARE(format.exporter->type(), QStringLiteral("JPEG"));
    QVERIFY(format.exporter->settings().isEmpty());
    // Each new Format step has an exporter of its own.
    QVERIFY(formatSetting().exporter != format.exporter);

    const FTPSetting ftp;
    QCOMPARE(ftp.port, 0);
    QVERIFY(!ftp.dontSaveImages);
    QVERIFY(ftp.server.isEmpty() && ftp.user.isEmpty() && ftp.password.isEmpty() &&
            ftp.path.isEmpty());
    QVERIFY(watermarkSetting().wmFile.isEmpty());

    // The factory sets the kind code and nothing else of the base.
    for (int code = 0; code < kKindCount; ++code) {
        const SettingPtr item = createSetting(code);
        QVERIFY(item);
        QCOMPARE(item->type, code);
        QCOMPARE(item->label, 0);
        QCOMPARE(item->id, 0);
    }
    QVERIFY(!createSetting(-1));
    QVERIFY(!createSetting(8));
}

void tst_SettingKinds::labels_data()
{
    QTest::addColumn<int>("labelIndex");
    QTest::addColumn<int>("finder");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<QString>("picture");
    QTest::newRow("none") << 0 << 0 << "none"
                          << "all.png";
    QTest::newRow("red") << 1 << 6 << "red"
                         << "red.png";
    QTest::newRow("orange") << 2 << 7 << "orange"
                            << "orange.png";
    QTest::newRow("yellow") << 3 << 5 << "yellow"
                            << "yellow.png";
    QTest::newRow("green") << 4 << 2 << "green"
                           << "green.png";
    QTest::newRow("blue") << 5 << 4 << "blue"
                          << "blue.png";
    QTest::newRow("purple") << 6 << 3 << "purple"
                            << "purple.png";
    QTest::newRow("gray") << 7 << 1 << "gray"
                          << "gray.png";
    QTest::newRow("8 is out of range") << 8 << 0 << ""
                                       << "";
    QTest::newRow("-1 is out of range") << -1 << 0 << ""
                                        << "";
}

void tst_SettingKinds::labels()
{
    QFETCH(int, labelIndex);
    QFETCH(int, finder);
    QFETCH(QString, colour);
    QFETCH(QString, picture);
    scaleSetting item;
    item.label = labelIndex;
    QCOMPARE(item.getLabel(), finder);
    QCOMPARE(labelColourName(labelIndex), colour);
    QCOMPARE(labelPictureName(labelIndex), picture);
}

void tst_SettingKinds::kindNames()
{
    const QStringList expected = {"Format",        "Scaling",   "File Name", "ColorSync",
                                  "Flip & Rotate", "Watermark", "Raw",       "FTP"};
    for (int code = 0; code < kKindCount; ++code)
        QCOMPARE(kindName(code), expected[code]);
    QVERIFY(kindName(8).isEmpty());
}

void tst_SettingKinds::goldenRecords_data()
{
    QTest::addColumn<SettingPtr>("item");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("default Scaling")
        << createSetting(kScaleKind) << QByteArray::fromHex("00010000010064000000012c000190");
    QTest::newRow("default ColorSync")
        << createSetting(kColorSyncKind) << QByteArray::fromHex("0003000000000000");
    const QByteArray none = str("None");
    QTest::newRow("default File Name")
        << createSetting(kNameKind)
        << QByteArray::fromHex("0002000001") + QByteArray::fromHex("0005") + none +
               QByteArray::fromHex("0001") + str("Extension") + QByteArray::fromHex("0005") + none +
               QByteArray::fromHex("0006") + none + QByteArray::fromHex("0005") + none +
               QByteArray::fromHex("0006") + none;
    QTest::newRow("default Format: empty options text, format 0")
        << createSetting(kFormatKind) << QByteArray::fromHex("0000000000000000");
    QTest::newRow("default Watermark: nil")
        << createSetting(kWatermarkKind)
        << QByteArray::fromHex("00050000") + str("nil") + QByteArray::fromHex("0000");
    QTest::newRow("default Raw") << createSetting(kRawKind)
                                 << QByteArray::fromHex("000600000044004400440000");
    QTest::newRow("default Flip & Rotate")
        << createSetting(kFlipRotateKind) << QByteArray::fromHex("00040000000000000000");
    QTest::newRow("default FTP") << createSetting(kFTPKind)
                                 << QByteArray::fromHex("00070000"
                                                        "00"
                                                        "0000"
                                                        "0000"
                                                        "0000"
                                                        "0000"
                                                        "0000");
    auto red = std::make_shared<colorsyncSetting>();
    red->type = kColorSyncKind;
    red->label = 1;
    red->colorSyncProfile = 2;
    red->colorSyncProfileMode = 1;
    QTest::newRow("label then body in stream order")
        << SettingPtr(red) << QByteArray::fromHex("0003000100020001");
}

void tst_SettingKinds::goldenRecords()
{
    QFETCH(SettingPtr, item);
    QFETCH(QByteArray, bytes);
    QCOMPARE(recordOf(*item).toHex(' '), bytes.toHex(' '));
}

void tst_SettingKinds::roundTrip_data()
{
    QTest::addColumn<SettingPtr>("item");

    auto format = std::make_shared<formatSetting>();
    format->type = kFormatKind;
    format->label = 3;
    format->format = 8;
    format->exporter = std::make_shared<ExporterHandle>(getFormat(8));
    format->exporter->setSettings(QStringLiteral("compression=9;interlace=1"));
    QTest::newRow("Format") << SettingPtr(format);

    auto scale = std::make_shared<scaleSetting>();
    scale->type = kScaleKind;
    scale->label = 7;
    scale->mode = 1;
    scale->constrainProportions = false;
    scale->width = -5;
    scale->height = 32767;
    scale->setResolution = true;
    scale->resolution = 72;
    scale->resKeepScale = true;
    QTest::newRow("Scaling") << SettingPtr(scale);

    auto name = std::make_shared<nameSetting>();
    name->type = kNameKind;
    name->label = 2;
    name->prefixMode = {0, 1, 2};
    name->suffixMode = {3, 4, 0};
    name->prefixString = {QStringLiteral("Ünïcode "), QString(), QStringLiteral("p3")};
    name->suffixString = {QStringLiteral("s1"), QStringLiteral("日本"), QString()};
    name->nameSeparator = false;
    QTest::newRow("File Name") << SettingPtr(name);

    auto flip = std::make_shared<flipRotateSetting>();
    flip->type = kFlipRotateKind;
    flip->flip = true;
    flip->flipMode = 1;
    flip->rotateMode = 2;
    QTest::newRow("Flip & Rotate") << SettingPtr(flip);

    auto raw = std::make_shared<rawSetting>();
    raw->type = kRawKind;
    raw->rawWhiteBalance = 2;
    raw->rawRed = 0;
    raw->rawBlue = 137;
    raw->rawBrightness = 100;
    QTest::newRow("Raw") << SettingPtr(raw);

    auto ftp = std::make_shared<FTPSetting>();
    ftp->type = kFTPKind;
    ftp->label = 4;
    ftp->dontSaveImages = true;
    ftp->port = 2121;
    ftp->path = QStringLiteral("/up/löad");
    ftp->password = QStringLiteral("s3cr€t");
    ftp->user = QStringLiteral("me");
    ftp->server = QStringLiteral("127.0.0.1");
    QTest::newRow("FTP") << SettingPtr(ftp);
}

void tst_SettingKinds::roundTrip()
{
    QFETCH(SettingPtr, item);
    const QByteArray bytes = recordOf(*item);
    binaryExtras::ByteReader reader(bytes);
    const SettingPtr back = createSetting(reader.readShort());
    QVERIFY(back);
    back->readValues(reader);
    QVERIFY(!reader.failed());
    QVERIFY(reader.atEnd());
    QCOMPARE(back->label, item->label);
    QCOMPARE(back->describeFields(), item->describeFields());
}

void tst_SettingKinds::formatExporter_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("exporterType");
    QTest::addColumn<QString>("options");
    QTest::newRow("nil gives an unopened exporter")
        << QByteArray::fromHex("00000000") + str("nil") + QByteArray::fromHex("0002") << false
        << QString() << QString();
    QTest::newRow("NIL in other letter case too")
        << QByteArray::fromHex("00000000") + str("NiL") + QByteArray::fromHex("0002") << false
        << QString() << QString();
    QTest::newRow("options text opens the format's exporter")
        << QByteArray::fromHex("00000000") + str("quality=40") + QByteArray::fromHex("0001") << true
        << QStringLiteral("jp2 ") << QStringLiteral("quality=40");
    QTest::newRow("empty text: the format's defaults")
        << QByteArray::fromHex("00000000") + str("") + QByteArray::fromHex("0006") << true
        << QStringLiteral(".SGI") << QString();
    QTest::newRow("unknown format code: unopened type, options kept")
        << QByteArray::fromHex("00000000") + str("x=1") + QByteArray::fromHex("0063") << false
        << QString() << QStringLiteral("x=1");
}

void tst_SettingKinds::formatExporter()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, open);
    QFETCH(QString, exporterType);
    QFETCH(QString, options);
    formatSetting item;
    const ExporterPtr before = item.exporter;
    readInto(item, record);
    QVERIFY(item.exporter);
    QVERIFY(item.exporter != before);
    QCOMPARE(item.exporter->isOpen(), open);
    QCOMPARE(item.exporter->type(), exporterType);
    QCOMPARE(item.exporter->settings(), options);
    // An unopened exporter is written as "nil" again, so it stays unopened.
    if (!open && options.isEmpty())
        QCOMPARE(recordOf(item), record.toLower());
}

void tst_SettingKinds::watermarkFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("märk.png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("png");
    file.close();

    watermarkSetting written;
    written.type = kWatermarkKind;
    written.wmFile = path;
    written.wmPlacement = 3;
    const QByteArray record = recordOf(written);
    QCOMPARE(record,
             QByteArray::fromHex("00050000") + str(path.toUtf8()) + QByteArray::fromHex("0003"));

    watermarkSetting present;
    readInto(present, record);
    QCOMPARE(present.wmFile, path);
    QCOMPARE(present.wmPlacement, 3);

    // A deleted file: no watermark file, the placement is kept.
    QVERIFY(QFile::remove(path));
    watermarkSetting gone;
    readInto(gone, record);
    QVERIFY(gone.wmFile.isEmpty());
    QCOMPARE(gone.wmPlacement, 3);

    // A path that names no file, or is not absolute, keeps the previous choice.
    watermarkSetting earlier;
    earlier.wmFile = QStringLiteral("/earlier.png");
    readInto(earlier, record);
    QCOMPARE(earlier.wmFile, QStringLiteral("/earlier.png"));
    readInto(earlier,
             QByteArray::fromHex("00050000") + str("relative.png") + QByteArray::fromHex("0001"));
    QCOMPARE(earlier.wmFile, QStringLiteral("/earlier.png"));
    QCOMPARE(earlier.wmPlacement, 1);
}

QTEST_GUILESS_MAIN(tst_SettingKinds)
#include "tst_settingkinds.moc"
