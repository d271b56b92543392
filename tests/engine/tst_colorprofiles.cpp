#include "engine/imageservices/colorprofiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace quillon::engine;

namespace {

const QString kSystemIcc = QStringLiteral("/usr/share/color/icc");

// The profile's English description as exiftool, an independent reader, reports it.
QString exiftoolDescription(const QString& path)
{
    QProcess exiftool;
    exiftool.start(QStringLiteral("exiftool"),
                   {QStringLiteral("-s3"), QStringLiteral("-a"), QStringLiteral("-ProfileDescription"), path});
    if (!exiftool.waitForFinished(30000))
        return {};
    return QString::fromUtf8(exiftool.readAllStandardOutput()).split(QLatin1Char('\n')).value(0).trimmed();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_colorprofiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void enumeratesInstalledProfiles();
    void emptyFoldersGiveOnlyBuiltIn();
    void openProfileFailsCleanly();
    void validity_data();
    void validity();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_colorprofiles::init()
{
    // Nothing outside the temporary folders may count: the data home, the data dirs and HOME
    // all point into it.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir->filePath("sys1") + ":" + m_dir->filePath("sys2")));
    qputenv("HOME", QFile::encodeName(m_dir->filePath("home")));
}

void tst_colorprofiles::enumeratesInstalledProfiles()
{
    if (!QFile::exists(kSystemIcc + "/colord/sRGB.icc"))
        QSKIP("colord-data is not installed");
    QDir root(m_dir->path());
    QVERIFY(root.mkpath("data/icc/nested/deeper"));
    QVERIFY(root.mkpath("home/.color/icc"));
    QVERIFY(root.mkpath("sys1/color/icc"));
    QVERIFY(root.mkpath("sys2/color/icc"));
    QVERIFY(QFile::copy(kSystemIcc + "/colord/Rec709.icc", root.filePath("data/icc/nested/deeper/rec.icc")));
    QVERIFY(QFile::copy(kSystemIcc + "/colord/AdobeRGB1998.icc", root.filePath("home/.color/icc/adobe.ICM")));
    QVERIFY(QFile::copy(kSystemIcc + "/colord/sRGB.icc", root.filePath("sys1/color/icc/b.icc")));
    QVERIFY(QFile::copy(kSystemIcc + "/colord/sRGB.icc", root.filePath("sys2/color/icc/a.icc")));
    // Not profiles, or not named like one: left out.
    QFile junk(root.filePath("data/icc/junk.icc"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(2000, 'x'));
    junk.close();
    QVERIFY(QFile::copy(kSystemIcc + "/colord/Rec709.icc", root.filePath("data/icc/rec709.txt")));

    const ColorProfiles profiles = ColorProfiles::load();
    QCOMPARE(profiles.count(), 5);
    QCOMPARE(profiles.info(0).path, QString());
    QVERIFY(!profiles.name(0).isEmpty());

    const QStringList paths = {root.filePath("home/.color/icc/adobe.ICM"),
                               root.filePath("data/icc/nested/deeper/rec.icc"),
                               root.filePath("sys1/color/icc/b.icc"),
                               root.filePath("sys2/color/icc/a.icc")};
    // Sorted by description ("Compatible with Adobe RGB (1998)", "Rec. 709", "sRGB", "sRGB"),
    // the two same-named profiles by path.
    for (int i = 0; i < paths.size(); ++i) {
        QCOMPARE(profiles.info(i + 1).path, paths.at(i));
        QCOMPARE(profiles.name(i + 1), exiftoolDescription(paths.at(i)));
        QByteArray bytes;
        QString error;
        QVERIFY2(profiles.openProfile(i + 1, &bytes, &error), qPrintable(error));
        QCOMPARE(bytes, contents(paths.at(i)));
    }
}

void tst_colorprofiles::emptyFoldersGiveOnlyBuiltIn()
{
    const ColorProfiles profiles = ColorProfiles::load();
    QCOMPARE(profiles.count(), 1);
    QByteArray bytes;
    QString error;
    QVERIFY(profiles.openProfile(0, &bytes, &error));
    QVERIFY(isValidIccProfile(bytes));
    QCOMPARE(iccDescription(bytes), profiles.name(0));
    // The built-in profile is a real sRGB: exiftool reads it too.
    const QString written = m_dir->filePath("builtin.icc");
    QFile file(written);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(exiftoolDescription(written), profiles.name(0));
}

void tst_colorprofiles::openProfileFailsCleanly()
{
    if (!QFile::exists(kSystemIcc + "/colord/sRGB.icc"))
        QSKIP("colord-data is not installed");
    QDir root(m_dir->path());
    QVERIFY(root.mkpath("data/icc"));
    const QString path = root.filePath("data/icc/s.icc");
    QVERIFY(QFile::copy(kSystemIcc + "/colord/sRGB.icc", path));
    const ColorProfiles profiles = ColorProfiles::load();
    QCOMPARE(profiles.count(), 2);
    QByteArray bytes;
    QString error;
    QVERIFY(!profiles.openProfile(2, &bytes, &error));
    QVERIFY(!profiles.openProfile(-1, &bytes, &error));
    QVERIFY(profiles.info(7).name.isEmpty());
    // The file went away after the enumeration.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(QFile::remove(path));
    QVERIFY(!profiles.openProfile(1, &bytes, &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(bytes.isEmpty());
}

void tst_colorprofiles::validity_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("description");
    const QByteArray srgb = contents(kSystemIcc + "/colord/sRGB.icc");
    const QByteArray gray = contents(kSystemIcc + "/Gray.icc");
    if (srgb.isEmpty() || gray.isEmpty())
        QSKIP("colord-data or icc-profiles-free is not installed");
    QTest::newRow("colord sRGB") << srgb << true << QStringLiteral("sRGB");
    QTest::newRow("gray profile") << gray << true << QStringLiteral("Gray");
    QTest::newRow("truncated") << srgb.left(srgb.size() / 3) << false << QString();
    QTest::newRow("header only") << srgb.left(128) << false << QString();
    QTest::newRow("empty") << QByteArray() << false << QString();
    QTest::newRow("text") << QByteArray(4000, 'a') << false << QString();
}

void tst_colorprofiles::validity()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(QString, description);
    QCOMPARE(isValidIccProfile(bytes), valid);
    QCOMPARE(iccDescription(bytes), description);
}

QTEST_GUILESS_MAIN(tst_colorprofiles)
#include "tst_colorprofiles.moc"
