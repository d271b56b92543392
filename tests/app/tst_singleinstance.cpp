// One Quillon per user: a second launch hands its documents to the running program and exits.
// Drives the real program.

#include "quillonprocess.h"

#include <QFile>
#include <csignal>

class tst_singleinstance : public QObject
{
    Q_OBJECT

private slots:
    void secondLaunchHandsOverItsDocuments();
    void socketOfADeadInstanceIsTakenOver();

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

QTEST_GUILESS_MAIN(tst_singleinstance)
#include "tst_singleinstance.moc"
