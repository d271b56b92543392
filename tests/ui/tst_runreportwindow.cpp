// The end-of-run report: nothing for a clean run, every problem once with its file and reason
// grouped under its message, text that can be selected and copied; and the about box.

#include "ui/windows/aboutbox.h"
#include "ui/windows/runreportwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace quillon::ui;

class tst_RunReportWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanRunShowsNothing();
    void text_data();
    void text();
    void selectAndCopy();
    void aboutBox();
};

void tst_RunReportWindow::cleanRunShowsNothing()
{
    QVERIFY(RunReportWindow::showReport({}) == nullptr);
    QVERIFY(RunReportWindow::reportText({}).isEmpty());
    QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
            std::none_of(QApplication::topLevelWidgets().begin(),
                         QApplication::topLevelWidgets().end(),
                         [](QWidget* w) { return w->isVisible(); }));
}

void tst_RunReportWindow::text_data()
{
    using Kind = RunProblem::Kind;
    QTest::addColumn<QList<RunProblem>>("problems");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two outputs not saved: the not-saved message once")
        << QList<RunProblem>{{Kind::NotSaved, "/out/a.jpg", "permission denied"},
                             {Kind::NotSaved, "/out/b.jpg", "no space left on device"}}
        << "One or more Files could not be saved.\n\nThe folder/volume you are trying to save "
           "might be locked or not writable.\n\n    /out/a.jpg: permission denied\n"
           "    /out/b.jpg: no space left on device\n";
    QTest::newRow("every kind, grouped in a fixed order")
        << QList<RunProblem>{{Kind::UploadFailed, "/out/c.jpg", "553 not allowed"},
                             {Kind::NotOpened, "/in/d.cr2", "damaged raw file"},
                             {Kind::LoginFailed, "ftp.example.org", "530 login incorrect"},
                             {Kind::NotSaved, "/out/e.png", "read-only file system"}}
        << "One or more Files could not be saved.\n\nThe folder/volume you are trying to save "
           "might be locked or not writable.\n\n    /out/e.png: read-only file system\n\n"
           "One or more images could not be opened.\n\nThey are not pictures Quillon reads, or "
           "they are damaged.\n\n    /in/d.cr2: damaged raw file\n\n"
           "One or more FTP logins failed.\n\nThe images of those labels were not uploaded."
           "\n\n    ftp.example.org: 530 login incorrect\n\n"
           "One or more uploads failed.\n\nThe files were written, but they are not on the "
           "server.\n\n    /out/c.jpg: 553 not allowed\n";
}

void tst_RunReportWindow::text()
{
    QFETCH(QList<RunProblem>, problems);
    QFETCH(QString, expected);
    RunReportWindow* window = RunReportWindow::showReport(problems);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->text(), expected);
    window->close(); // deletes itself
}

void tst_RunReportWindow::selectAndCopy()
{
    RunReportWindow window({{RunProblem::Kind::NotOpened, "/in/x.tif", "cut short"}});
    auto* text = window.findChild<QPlainTextEdit*>(QStringLiteral("reportText"));
    QVERIFY(text->isReadOnly());
    QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByMouse);
    QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    text->selectAll();
    QVERIFY(text->textCursor().selectedText().contains(QStringLiteral("/in/x.tif: cut short")));
    QApplication::clipboard()->clear();
    window.findChild<QPushButton*>(QStringLiteral("copyButton"))->click();
    QCOMPARE(QApplication::clipboard()->text(), window.text());
}

void tst_RunReportWindow::aboutBox()
{
    auto* about = new AboutBox;
    about->show();
    about->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("name"))->text(), QStringLiteral("Quillon"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("version"))->text(),
             QStringLiteral("1.0 (v1)"));
    QVERIFY(!about->findChild<QLabel*>(QStringLiteral("icon"))->pixmap().isNull());
    QPointer<AboutBox> guard(about);
    QTest::keyClick(about, Qt::Key_W, Qt::ControlModifier); // "Close"
    QTRY_VERIFY(guard.isNull());
}

QTEST_MAIN(tst_RunReportWindow)
#include "tst_runreportwindow.moc"
