// The settings store: the ordered list and the kind lists, writing a settings file all or
// nothing, and reading one by the record rule, also from an independent writer of the format.

#include "settings/binaryextras.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::settings;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

const QByteArray kFormatRecord = QByteArray::fromHex("0000000000000000");
const QByteArray kScaleRecord = QByteArray::fromHex("00010000010064000000012c000190");

} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void formatThenScaling();
    void sameObjectsInBothLists();
    void emptyFile();
    void damaged_data();
    void damaged();
    void textLimitRefusesWholeFile();
    void unreadableFiles();
    void independentWriter();
};

void tst_SettingsStore::formatThenScaling()
{
    SettingsStore store;
    QVERIFY(store.append(createSetting(kFormatKind)));
    QVERIFY(store.append(createSetting(kScaleKind)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Two Steps"));
    const auto written = store.writeFile(path);
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(fileBytes(path).toHex(' '), (kFormatRecord + kScaleRecord).toHex(' '));

    SettingsStore back;
    const auto read = back.readFile(path);
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(back.setting.size(), size_t(2));
    QVERIFY(std::dynamic_pointer_cast<formatSetting>(back.setting[0]));
    QVERIFY(std::dynamic_pointer_cast<scaleSetting>(back.setting[1]));
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(back.setting[size_t(i)]->id, i);
        QCOMPARE(back.setting[size_t(i)]->type, i);
    }
    QCOMPARE(back.formatt.size(), size_t(1));
    QCOMPARE(back.scale.size(), size_t(1));
    QCOMPARE(back.formatt[0]->exporter->type(), QStringLiteral("JPEG"));
}

void tst_SettingsStore::sameObjectsInBothLists()
{
    SettingsStore store;
    const QByteArray bytes =
        kFormatRecord + kScaleRecord + QByteArray::fromHex("0003000500000001") + kScaleRecord;
    QVERIFY(store.readBytes(bytes).ok());
    QCOMPARE(store.scale.size(), size_t(2));
    QCOMPARE(store.colorsync.size(), size_t(1));
    QCOMPARE(store.colorsync[0]->label, 5);
    // The kind lists hold the very objects of the ordered list.
    QCOMPARE(static_cast<batchSetting*>(store.scale[1].get()), store.setting[3].get());
    store.scale[1]->width = 7;
    QCOMPARE(std::static_pointer_cast<scaleSetting>(store.setting[3])->width, 7);

    QVERIFY(store.removeAt(1));
    QCOMPARE(store.setting.size(), size_t(3));
    QCOMPARE(store.scale.size(), size_t(1));
    QCOMPARE(store.scale[0]->width, 7);
    for (size_t i = 0; i < store.setting.size(); ++i)
        QCOMPARE(store.setting[i]->id, int(i));
    QVERIFY(!store.removeAt(3));
    QVERIFY(!store.append(nullptr));

    // Reading again replaces everything.
    QVERIFY(store.readBytes(kFormatRecord).ok());
    QCOMPARE(store.setting.size(), size_t(1));
    QVERIFY(store.scale.empty() && store.colorsync.empty());
}

void tst_SettingsStore::emptyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Empty"));
    SettingsStore empty;
    QVERIFY(empty.writeFile(path).ok);
    QCOMPARE(QFileInfo(path).size(), 0);
    SettingsStore store;
    store.append(createSetting(kRawKind));
    const auto result = store.readFile(path);
    QVERIFY(result.ok());
    QVERIFY(store.isEmpty());
    QVERIFY(store.raw.empty());
}

void tst_SettingsStore::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("complete");
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown code after two records")
        << kFormatRecord + kScaleRecord + QByteArray::fromHex("000800000000") << 2 << qint64(23)
        << "unknown kind code 8";
    QTest::newRow("negative code first")
        << QByteArray::fromHex("ffff0000") << 0 << qint64(0) << "unknown kind code -1";
    QTest::newRow("record cut short in its body")
        << kFormatRecord + kScaleRecord.left(14) << 1 << qint64(8) << "cut short";
    QTest::newRow("half a kind code at the end")
        << kScaleRecord + QByteArray(1, '\0') << 1 << qint64(15) << "cut short";
    QTest::newRow("text count past the end")
        << kScaleRecord + QByteArray::fromHex("000000007fff41") << 1 << qint64(15) << "cut short";
    QTest::newRow("text count larger than the file")
        << QByteArray::fromHex("0000000000104e6f") << 0 << qint64(0) << "cut short";
    QTest::newRow("negative text count")
        << QByteArray::fromHex("00050000fffe0000") << 0 << qint64(0) << "negative length";
    QTest::newRow("more records than a settings file holds")
        << kFormatRecord.repeated(kMaxSettingsRecords + 1) << kMaxSettingsRecords
        << qint64(kFormatRecord.size()) * kMaxSettingsRecords
        << QStringLiteral("more than %1 records").arg(kMaxSettingsRecords);
}

void tst_SettingsStore::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, complete);
    QFETCH(qint64, offset);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Damaged"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    SettingsStore store;
    const auto result = store.readFile(path);
    QCOMPARE(result.status, SettingsStore::ReadStatus::Damaged);
    QCOMPARE(result.errorOffset, offset);
    QVERIFY2(result.error.contains(path), qPrintable(result.error));
    QVERIFY2(result.error.contains(QStringLiteral("byte offset %1").arg(offset)),
             qPrintable(result.error));
    QVERIFY2(result.error.contains(reason), qPrintable(result.error));
    QCOMPARE(int(store.setting.size()), complete);
    for (int i = 0; i < complete; ++i)
        QCOMPARE(store.setting[size_t(i)]->id, i);
}

void tst_SettingsStore::textLimitRefusesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorite"));
    SettingsStore store;
    store.append(createSetting(kFormatKind));
    auto ftp = std::static_pointer_cast<FTPSetting>(createSetting(kFTPKind));
    ftp->path = QString(int(binaryExtras::kMaxStringBytes), QLatin1Char('p'));
    store.append(ftp);
    QVERIFY(store.writeFile(path).ok);
    const QByteArray before = fileBytes(path);
    SettingsStore back;
    QVERIFY(back.readFile(path).ok());
    QCOMPARE(back.ftp[0]->path, ftp->path);

    // One byte more (here a two-byte character at the end) refuses the whole file.
    ftp->path.chop(1);
    ftp->path += QStringLiteral("é");
    const auto result = store.writeFile(path);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(path) && result.error.contains(QStringLiteral("32767")),
             qPrintable(result.error));
    QCOMPARE(fileBytes(path), before);
    QByteArray bytes("untouched");
    QVERIFY(!store.toBytes(bytes).ok);
    QCOMPARE(bytes, QByteArray("untouched"));

    // A file that cannot be written at all reports it.
    const auto nowhere = store.writeFile(dir.filePath(QStringLiteral("missing/Favorite")));
    QVERIFY(!nowhere.ok);
}

void tst_SettingsStore::unreadableFiles()
{
    QTemporaryDir dir;
    SettingsStore store;
    auto result = store.readFile(dir.filePath(QStringLiteral("nothing here")));
    QCOMPARE(result.status, SettingsStore::ReadStatus::OpenFailed);
    QVERIFY2(result.error.contains(QStringLiteral("nothing here")), qPrintable(result.error));
    result = store.readFile(dir.path());
    QCOMPARE(result.status, SettingsStore::ReadStatus::OpenFailed);
    QVERIFY(store.isEmpty());
}

void tst_SettingsStore::independentWriter()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("From Python"));
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(QUILLON_TESTDATA "/settings/independent_writer.py"), path});
    QVERIFY(python.waitForFinished(30000));
    QCOMPARE(python.exitCode(), 0);

    SettingsStore store;
    const auto result = store.readFile(path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(store.setting.size(), size_t(8));
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(store.setting[size_t(i)]->type, i);
        QCOMPARE(store.setting[size_t(i)]->id, i);
    }
    QCOMPARE(store.formatt[0]->exporter->type(), QStringLiteral("jp2 "));
    QCOMPARE(store.formatt[0]->exporter->settings(), QStringLiteral("quality=85"));
    QCOMPARE(store.fileName[0]->prefixString[0], QStringLiteral("Été_"));
    QCOMPARE(store.fileName[0]->suffixString[0], QStringLiteral("日付"));
    QCOMPARE(store.ftp[0]->password, QStringLiteral("pässwörd"));
    QCOMPARE(store.ftp[0]->port, 2121);
    QCOMPARE(store.raw[0]->getLabel(), 1);
    QCOMPARE(store.raw[0]->rawWhiteBalance, 2);
    QCOMPARE(store.watermark[0]->wmPlacement, 4);

    // Written back, the same bytes.
    QByteArray bytes;
    QVERIFY(store.toBytes(bytes).ok);
    QCOMPARE(bytes.toHex(' '), fileBytes(path).toHex(' '));
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
