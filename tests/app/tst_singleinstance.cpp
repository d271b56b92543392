// One Quillon per user: a second launch hands its documents to the running program and exits.
// Drives the real program.

#include "quillonprocess.h"
#include "settings/favorites.h"
#include "settings/preferences.h"
#include "settings/batchsetting.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <csignal>

namespace settings = quillon::settings;

class tst_singleinstance : public QObject
{
    Q_OBJECT

private slots:
    void secondLaunchHandsOverItsDocuments();
    void socketOfADeadInstanceIsTakenOver();
    void preferencesAndDefaultFavorite();
    void launchDocuments_data();
    void launchDocuments();

private:
    static QString picture(const QuillonHome& home, const QString& name)
    {
        const QString path = home.path(name);
        QFile::copy(QStringLiteral(QUILLON_CORPUS "/formats/gray.jpg"), path);
        return path;
    }
};

void tst_singleinstance::secondLaunchHandsOverItsDocuments()
{
    QuillonHome home;
    const QString a = picture(home, QStringLiteral("a.jpg"));
    const QString b = picture(home, QStringLiteral("b.jpg"));

    QuillonProcess first(home);
    first.start({a});
    QTRY_COMPARE_WITH_TIMEOUT(first.sources(), QStringList{a}, 30000);

    // A relative name is the second launch's own: it is resolved in its working folder. The
    // picture the running one already has is not added again.
    QuillonProcess second(home, home.path());
    second.start({QStringLiteral("b.jpg"), a});
    QVERIFY(second.process().waitForFinished(30000));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QVERIFY2(!second.log().contains(QLatin1String("started")), qPrintable(second.log()));
    QTRY_COMPARE_WITH_TIMEOUT(first.sources(), (QStringList{a, b}), 30000);
    // Only the first document of the launch opened the start dialog.
    QCOMPARE(first.log().count(QLatin1String("start dialog")), 1);

    // A launch without documents only brings the running program forward.
    QuillonProcess third(home);
    third.start({});
    QVERIFY(third.process().waitForFinished(30000));
    QCOMPARE(third.process().exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(first.log().count(QLatin1String("sources: ")), 3, 30000);
    QCOMPARE(first.sources(), (QStringList{a, b}));

    first.process().terminate();
    QVERIFY(first.process().waitForFinished(30000));
    QCOMPARE(first.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.process().exitCode(), 0);
}

void tst_singleinstance::socketOfADeadInstanceIsTakenOver()
{
    QuillonHome home;
    const QString a = picture(home, QStringLiteral("a.jpg"));
    {
        QuillonProcess dead(home);
        dead.start({});
        QTRY_VERIFY_WITH_TIMEOUT(dead.log().contains(QLatin1String("sources:")), 30000);
        ::kill(dead.process().processId(), SIGKILL);
        QVERIFY(dead.process().waitForFinished(30000));
    }
    QuillonProcess next(home);
    next.start({a});
    QTRY_COMPARE_WITH_TIMEOUT(next.sources(), QStringList{a}, 30000);
    QVERIFY(next.log().contains(QLatin1String("started")));
    next.process().terminate();
    QVERIFY(next.process().waitForFinished(30000));
    QCOMPARE(next.process().exitCode(), 0);
}

// The whole program: first launch without a preferences file, quit, and the second launch with a
// preferences file naming a default favorite in other letter case.
void tst_singleinstance::preferencesAndDefaultFavorite()
{
    QuillonHome home;
    const QString prefsFile = home.path(QStringLiteral(".config/Quillon/Quillon Prefs"));
    {
        QuillonProcess first(home);
        first.start({picture(home, QStringLiteral("a.jpg"))});
        QTRY_VERIFY_WITH_TIMEOUT(first.log().contains(QLatin1String("sources:")), 30000);
        QVERIFY(!first.log().contains(QLatin1String("default favorite")));
        first.process().terminate();
        QVERIFY(first.process().waitForFinished(30000));
        QCOMPARE(first.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.process().exitCode(), 0);
        QVERIFY2(first.log().contains(QLatin1String("preferences written")),
                 qPrintable(first.log()));
    }
    settings::Preferences prefs;
    QCOMPARE(settings::readPrefs(prefs, prefsFile).status,
             settings::PreferencesReadResult::Status::Ok);
    QVERIFY(prefs.prefSetting);
    QVERIFY(!prefs.prefDestination);
    QCOMPARE(prefs.prefDepth, 1);
    QCOMPARE(prefs.prefDefault, QString());

    settings::SettingsStore store;
    QVERIFY(store.append(settings::createSetting(0)));
    const QString favorites = home.path(QStringLiteral(".local/share/Quillon/favorites"));
    QVERIFY(QDir().mkpath(favorites));
    QVERIFY(settings::saveFavorite(store, favorites, QStringLiteral("Web")).ok);
    prefs.prefDefault = QStringLiteral("wEB");
    QVERIFY(settings::writePrefs(prefs, prefsFile));

    QuillonProcess second(home);
    second.start({});
    QTRY_VERIFY_WITH_TIMEOUT(second.log().contains(QLatin1String("sources:")), 30000);
    QVERIFY2(second.log().contains(QLatin1String("default favorite: wEB")),
             qPrintable(second.log()));
    QVERIFY(!second.log().contains(QLatin1String("start dialog")));
    second.process().terminate();
    QVERIFY(second.process().waitForFinished(30000));
    QCOMPARE(second.process().exitCode(), 0);
}

void tst_singleinstance::launchDocuments_data()
{
    QTest::addColumn<QStringList>("documents");
    QTest::addColumn<QStringList>("sources");
    QTest::newRow("two pictures and a text file: the pictures, one start dialog")
        << QStringList{"a.jpg", "notes.txt", "b.jpg"} << QStringList{"a.jpg", "b.jpg"};
    QTest::newRow("an .app item first adds nothing and still opens the start dialog")
        << QStringList{"Tool.app", "a.jpg"} << QStringList{"a.jpg"};
    QTest::newRow("the same picture twice is added once")
        << QStringList{"a.jpg", "a.jpg"} << QStringList{"a.jpg"};
}

// Documents the program is launched with, as the desktop opens them: each usable one becomes a
// source, and the first opens the start dialog, once for the whole launch.
void tst_singleinstance::launchDocuments()
{
    QFETCH(QStringList, documents);
    QFETCH(QStringList, sources);
    QuillonHome home;
    picture(home, QStringLiteral("a.jpg"));
    picture(home, QStringLiteral("b.jpg"));
    QVERIFY(QDir().mkpath(home.path(QStringLiteral("Tool.app"))));
    QFile text(home.path(QStringLiteral("notes.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    QStringList arguments;
    for (const QString& name : documents)
        arguments << home.path(name);
    QStringList expected;
    for (const QString& name : sources)
        expected << home.path(name);

    QuillonProcess quillon(home);
    quillon.start(arguments);
    QTRY_VERIFY_WITH_TIMEOUT(quillon.log().contains(QLatin1String("sources:")), 30000);
    QCOMPARE(quillon.sources(), expected);
    QCOMPARE(quillon.log().count(QLatin1String("start dialog")), 1);
    quillon.process().terminate();
    QVERIFY(quillon.process().waitForFinished(30000));
    QCOMPARE(quillon.process().exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_singleinstance)
#include "tst_singleinstance.moc"
