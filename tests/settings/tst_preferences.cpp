// The preferences file "Quillon Prefs": where it lives, the defaults of a first launch, a round
// trip, and damaged files that give the defaults without mixing in half-read values.

#include "settings/binaryextras.h"
#include "settings/preferences.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::settings;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray encode(const QString& def, const QString& fav, bool setting, bool destination, int depth)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    binaryExtras::writeString(buffer, def);
    binaryExtras::writeString(buffer, fav);
    binaryExtras::writeBoolean(buffer, setting);
    binaryExtras::writeBoolean(buffer, destination);
    binaryExtras::writeShort(buffer, depth);
    return buffer.data();
}

Preferences defaults()
{
    Preferences prefs;
    prefs.prefSetting = true;
    prefs.prefDepth = 1;
    return prefs;
}

} // namespace

class tst_Preferences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstLaunchAndRoundTrip();
    void layout();
    void damaged_data();
    void damaged();
    void unwritableLocation();
};

void tst_Preferences::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
}

void tst_Preferences::firstLaunchAndRoundTrip()
{
    const QString path = preferencesFilePath();
    QCOMPARE(path, qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quillon/Quillon Prefs");
    QDir(QFileInfo(path).absolutePath()).removeRecursively();

    Preferences prefs;
    QCOMPARE(readPrefs(prefs).status, PreferencesReadResult::Status::Missing);
    QCOMPARE(prefs, defaults()); // "Current", "Ask", "Unlimited", no default favorite

    prefs.prefDefault = QStringLiteral("Web Export");
    prefs.prefFavorite = QString::fromUtf8("Drücke – klein");
    prefs.prefSetting = false;
    prefs.prefDestination = true;
    prefs.prefDepth = 7;
    QString error;
    QVERIFY2(writePrefs(prefs, path, &error), qPrintable(error)); // creates the folder
    Preferences back;
    QCOMPARE(readPrefs(back).status, PreferencesReadResult::Status::Ok);
    QCOMPARE(back, prefs);
}

void tst_Preferences::layout()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillon Prefs"));
    Preferences prefs;
    prefs.prefDefault = QStringLiteral("ab");
    prefs.prefFavorite = QStringLiteral("c");
    prefs.prefSetting = true;
    prefs.prefDepth = 3;
    QVERIFY(writePrefs(prefs, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toHex(' '), QByteArray("00 02 61 62 00 01 63 01 00 00 03"));
}

void tst_Preferences::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = encode("Default", "Fav", false, true, 4);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("cut in the first text") << good.left(4);
    QTest::newRow("cut before the depth") << good.left(good.size() - 2);
    QTest::newRow("cut in the depth") << good.left(good.size() - 1);
    QTest::newRow("bytes after the depth") << good + QByteArray(1, '\0');
    QTest::newRow("negative text length") << QByteArray::fromHex("ff00") + good.mid(2);
    QTest::newRow("depth on the separator") << encode("Default", "Fav", false, true, 2);
    QTest::newRow("depth past the menu") << encode("Default", "Fav", false, true, 9);
    QTest::newRow("negative depth") << encode("Default", "Fav", false, true, -1);
    QTest::newRow("random bytes") << QByteArray::fromHex("7fffdeadbeef");
}

void tst_Preferences::damaged()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillon Prefs"));
    writeBytes(path, bytes);
    Preferences prefs;
    const auto result = readPrefs(prefs, path);
    QCOMPARE(result.status, PreferencesReadResult::Status::Damaged);
    QVERIFY(result.error.contains(path));
    QCOMPARE(prefs, defaults());
}

void tst_Preferences::unwritableLocation()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    writeBytes(blocker, "x");
    QString error;
    QVERIFY(!writePrefs(Preferences(), blocker + "/Quillon Prefs", &error));
    QVERIFY(error.contains(blocker));

    // A name too long for a String fails the whole write and keeps the old file.
    const QString path = dir.filePath(QStringLiteral("Quillon Prefs"));
    Preferences prefs = defaults();
    prefs.prefFavorite = QStringLiteral("kept");
    QVERIFY(writePrefs(prefs, path));
    Preferences tooLong = prefs;
    tooLong.prefDefault = QString(40000, QLatin1Char('x'));
    QVERIFY(!writePrefs(tooLong, path));
    Preferences back;
    QCOMPARE(readPrefs(back, path).status, PreferencesReadResult::Status::Ok);
    QCOMPARE(back, prefs);
}

QTEST_GUILESS_MAIN(tst_Preferences)
#include "tst_preferences.moc"
