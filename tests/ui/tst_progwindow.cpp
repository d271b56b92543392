// The progress window driven through the batch job's events as a run raises them: ten images
// with the bar, a stop during the fourth image, the end-of-run message once, after the window
// has closed, and a window that does not go away under a running job; then the same with the
// real batch job writing real files.

#include "messageboxanswerer.h"
#include "settings/exporterhandle.h"
#include "settings/globals.h"
#include "settings/settingkinds.h"
#include "settings/settingsstore.h"
#include "ui/windows/progwindow.h"

#include <QDir>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon;
using namespace quillon::ui;

class tst_ProgWindow : public QObject
{
    Q_OBJECT

private slots:
    void tenImages();
    void stopDuringFourthImage();
    void statusTexts();
    void notSavedOnceAfterClosing();
    void problemsGoToTheReport();
    void escapeAndCloseOnlyStop();
    void realRun_data();
    void realRun();
};

void tst_ProgWindow::tenImages()
{
    progWindow window;
    window.show();
    window.Started(10);
    QCOMPARE(window.progressMaximum(), 10);
    for (int i = 0; i < 10; ++i) {
        QVERIFY(!window.Progress(QStringLiteral("img%1.jpg").arg(i), i, 10));
        QCOMPARE(window.progressValue(), i);
        QCOMPARE(window.infoText(), QStringLiteral("img%1.jpg").arg(i));
    }
    MessageBoxAnswerer answerer;
    window.Finished(false, false);
    QCOMPARE(window.progressValue(), 10);
    QCOMPARE(window.infoText(), QString());
    QVERIFY(!window.isVisible());
    QVERIFY(answerer.texts.isEmpty());
    QVERIFY(!window.report());
}

void tst_ProgWindow::stopDuringFourthImage()
{
    progWindow window;
    window.show();
    window.Started(10);
    for (int i = 0; i < 4; ++i)
        QVERIFY(!window.Progress(QStringLiteral("img%1.jpg").arg(i), i, 10));
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("PushButton1"));
    stop->click(); // while the fourth image is being processed
    QVERIFY(window.stopping());
    QVERIFY(window.stopFlag().load());
    QVERIFY(stop->isEnabled());
    QCOMPARE(stop->text(), QStringLiteral("Stop"));
    // The fifth image's Progress answers true and leaves the display as it was.
    QVERIFY(window.Progress(QStringLiteral("img4.jpg"), 4, 10));
    QCOMPARE(window.progressValue(), 3);
    QCOMPARE(window.infoText(), QStringLiteral("img3.jpg"));
    window.Finished(true, false);
    QCOMPARE(window.progressValue(), 3); // a stopped run leaves the bar where it was
    QVERIFY(!window.isVisible());
}

void tst_ProgWindow::statusTexts()
{
    progWindow window;
    window.Scanning(QStringLiteral("/photos/2024"));
    QCOMPARE(window.infoText(), QStringLiteral("Scanning: /photos/2024"));
    window.Connecting(QStringLiteral("ftp.example.org"));
    QCOMPARE(window.infoText(), QStringLiteral("Connecting to: ftp.example.org ..."));
    window.setInfoText(QStringLiteral("Making preview ..."));
    QCOMPARE(window.infoText(), QStringLiteral("Making preview ..."));
}

void tst_ProgWindow::notSavedOnceAfterClosing()
{
    QWidget owner;
    owner.show();
    auto* window = new progWindow(&owner);
    window->show();
    window->Started(3);
    bool windowShownWithMessage = true;
    MessageBoxAnswerer answerer;
    answerer.onBox = [&] { windowShownWithMessage = window->isVisible(); };
    window->Finished(false, true);
    QCOMPARE(answerer.texts,
             QStringList{"One or more Files could not be saved.\n\nThe folder/volume you are "
                         "trying to save might be locked or not writable."});
    QVERIFY(answerer.allWarnings);
    QVERIFY(!windowShownWithMessage);
}

void tst_ProgWindow::problemsGoToTheReport()
{
    QWidget owner;
    progWindow window(&owner);
    window.show();
    window.Started(2);
    MessageBoxAnswerer answerer;
    window.Finished(false, true,
                    {{RunProblem::Kind::NotSaved, QStringLiteral("/out/a.jpg"),
                      QStringLiteral("permission denied")}});
    QVERIFY(answerer.texts.isEmpty()); // the report says it instead, in one window
    QVERIFY(window.report());
    QVERIFY(window.report()->isVisible());
    QVERIFY(window.report()->text().contains(QStringLiteral("/out/a.jpg: permission denied")));
    window.report()->close();
}

void tst_ProgWindow::escapeAndCloseOnlyStop()
{
    progWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Started(5);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.stopping());
    QVERIFY(window.isVisible());
    window.close();
    QVERIFY(window.isVisible());
    window.Finished(true, false);
    QVERIFY(!window.isVisible());
}

void tst_ProgWindow::realRun_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<int>("stopDuring"); // the image (1-based) during which Stop is pressed; 0 none
    QTest::addColumn<int>("written");
    QTest::newRow("ten images written") << true << 0 << 10;
    QTest::newRow("destination is no folder: the report lists every image") << false << 0 << 0;
    // The fourth image's Progress has answered when Stop comes, so it is completed; the fifth
    // is opened, answers true and is completed too; the sixth is never opened.
    QTest::newRow("stop during the fourth image: five written") << true << 4 << 5;
}

void tst_ProgWindow::realRun()
{
    // The real batch job on its own thread: the events reach the window, the bar advances
    // image by image, the run ends by itself (or after a stop), and what could not be written
    // is in the report.
    QFETCH(bool, writable);
    QFETCH(int, stopDuring);
    QFETCH(int, written);
    const bool stopped = stopDuring > 0;
    QTemporaryDir dir;
    QStringList sources;
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    for (int i = 0; i < 10; ++i) {
        sources << dir.filePath(QStringLiteral("img%1.png").arg(i));
        QVERIFY(picture.save(sources.last(), "PNG"));
    }
    settings::SettingsStore steps;
    auto format = std::make_shared<settings::formatSetting>();
    format->exporter = std::make_shared<settings::ExporterHandle>(settings::getFormat(0));
    steps.append(format);
    const QString out = dir.filePath(QStringLiteral("out"));
    if (writable)
        QVERIFY(QDir().mkdir(out));
    else
        QVERIFY(QFile(out).open(QIODevice::WriteOnly));

    // Every value the bar takes. Image n's Progress sets it to n - 1 while the job waits for
    // the answer; Stop is clicked from the event queue right after that answer, so it comes
    // while image n is being processed and before image n + 1's Progress is handled.
    QList<int> bar;
    QWidget owner;
    progWindow window(&owner);
    window.show();
    QSignalSpy finished(&window, &progWindow::runFinished);
    MessageBoxAnswerer answerer;
    auto* bar1 = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("PushButton1"));
    connect(bar1, &QProgressBar::valueChanged, bar1, [&](int value) {
        bar << value;
        if (stopped && value == stopDuring - 1)
            QMetaObject::invokeMethod(stop, &QPushButton::click, Qt::QueuedConnection);
    });
    StartRequest request;
    request.destination = out;
    request.depth = -1;
    QVERIFY(window.startRun(sources, request, &steps));
    QCOMPARE(window.progressMaximum(), 10);
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.at(0).at(0).toBool(), stopped);
    QVERIFY(!window.isVisible());
    QVERIFY(answerer.texts.isEmpty());

    // 0 is the bar's value from the start, so the first change is to 1; a finished run ends
    // at the maximum, a stopped one where the last shown image left it.
    QList<int> expected;
    for (int value = 1; value < (stopped ? stopDuring : 10); ++value)
        expected << value;
    if (!stopped)
        expected << 10;
    QCOMPARE(bar, expected);
    QCOMPARE(window.progressValue(), expected.last());

    QStringList names;
    if (writable) {
        for (const QFileInfo& file : QDir(out).entryInfoList(QDir::Files, QDir::Name))
            names << file.completeBaseName();
    }
    QStringList expectedNames;
    for (int i = 0; i < written; ++i)
        expectedNames << QStringLiteral("img%1").arg(i);
    QCOMPARE(names, expectedNames);
    if (writable) {
        QVERIFY(!window.report());
    } else {
        QVERIFY(window.report());
        for (const QString& source : sources)
            QVERIFY2(window.report()->text().contains(source), qPrintable(source));
        window.report()->close();
    }
}

QTEST_MAIN(tst_ProgWindow)
#include "tst_progwindow.moc"
