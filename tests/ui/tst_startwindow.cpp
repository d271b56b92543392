// The start dialog: the choices shown at opening from the preferences (a favorite that is gone,
// no favorites at all), every choice stored at once, the depth each menu position starts the
// batch with, and "Ask" with a cancelled folder chooser.

#include "ui/windows/startwindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon;
using namespace quillon::ui;

namespace {

void makeFavorites(const QString& folder, const QStringList& names)
{
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

template <typename T> T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

struct Run
{
    QList<StartRequest> requests;
    int chooserCalls = 0;
    QString prompt;
};

// A start dialog whose folder chooser answers `folder` (empty: cancelled) and whose requests
// are collected.
void wire(startWindow& window, Run& run, const QString& folder)
{
    window.setFolderChooser([&run, folder](QWidget*, const QString& prompt) {
        ++run.chooserCalls;
        run.prompt = prompt;
        return folder;
    });
    QObject::connect(&window, &startWindow::startRequested,
                     [&run](const StartRequest& request) { run.requests << request; });
}

} // namespace

class tst_StartWindow : public QObject
{
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void choicesAreStored();
    void depth_data();
    void depth();
    void askWithCancelledChooser();
    void favoriteRun();
};

void tst_StartWindow::opening_data()
{
    QTest::addColumn<QStringList>("favorites");
    QTest::addColumn<bool>("prefSetting");
    QTest::addColumn<QString>("prefFavorite");
    QTest::addColumn<int>("prefDepth");
    QTest::addColumn<bool>("current");    // "Current" selected
    QTest::addColumn<bool>("favoriteOn"); // "Favorite:" enabled
    QTest::addColumn<QString>("shown");   // the favorite shown in the menu
    QTest::addColumn<int>("depthShown");

    QTest::newRow("no favorites: Current even with prefSetting false")
        << QStringList() << false << "" << 0 << true << false << "" << 0;
    QTest::newRow("stored favorite chosen")
        << QStringList{"A", "B"} << false << "B" << 1 << false << true << "B" << 1;
    QTest::newRow("stored favorite in other letter case")
        << QStringList{"A", "Web"} << false << "WEB" << 3 << false << true << "Web" << 3;
    QTest::newRow("stored favorite gone: the first, stored at once")
        << QStringList{"A", "B"} << false << "Gone" << 7 << false << true << "A" << 7;
    QTest::newRow("Current preferred")
        << QStringList{"A"} << true << "A" << 4 << true << true << "A" << 4;
    QTest::newRow("damaged depth shows Unlimited")
        << QStringList{"A"} << true << "" << 2 << true << true << "A" << 1;
}

void tst_StartWindow::opening()
{
    QFETCH(QStringList, favorites);
    QFETCH(bool, prefSetting);
    QFETCH(QString, prefFavorite);
    QFETCH(int, prefDepth);
    QFETCH(bool, current);
    QFETCH(bool, favoriteOn);
    QFETCH(QString, shown);
    QFETCH(int, depthShown);
    QTemporaryDir dir;
    makeFavorites(dir.path(), favorites);
    settings::Preferences prefs;
    prefs.prefSetting = prefSetting;
    prefs.prefFavorite = prefFavorite;
    prefs.prefDepth = prefDepth;
    startWindow window(dir.path(), prefs);
    QCOMPARE(window.windowTitle(), QStringLiteral("Start"));
    QCOMPARE(child<QRadioButton>(&window, "RadioButton3")->isChecked(), current);
    QCOMPARE(child<QRadioButton>(&window, "RadioButton4")->isEnabled(), favoriteOn);
    QCOMPARE(child<QComboBox>(&window, "PopupMenu2")->isEnabled(), !current);
    QCOMPARE(child<QComboBox>(&window, "PopupMenu2")->currentText(), shown);
    QCOMPARE(child<QComboBox>(&window, "depthMenu")->currentIndex(), depthShown);
    QCOMPARE(child<QRadioButton>(&window, "RadioButton2")->isChecked(), true); // "Ask"
    // What is shown is what the preferences now hold.
    QCOMPARE(prefs.prefSetting, current);
    QCOMPARE(prefs.prefFavorite, shown.isEmpty() ? prefFavorite : shown);
    QCOMPARE(prefs.prefDepth, depthShown);
}

void tst_StartWindow::choicesAreStored()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"A", "B"});
    settings::Preferences prefs;
    prefs.prefSetting = true;
    prefs.prefDestination = true;
    startWindow window(dir.path(), prefs);
    QVERIFY(child<QRadioButton>(&window, "RadioButton1")->isChecked());
    child<QRadioButton>(&window, "RadioButton2")->click();
    QCOMPARE(prefs.prefDestination, false);
    child<QRadioButton>(&window, "RadioButton4")->click();
    QCOMPARE(prefs.prefSetting, false);
    QVERIFY(child<QComboBox>(&window, "PopupMenu2")->isEnabled());
    child<QComboBox>(&window, "PopupMenu2")->setCurrentIndex(1);
    QCOMPARE(prefs.prefFavorite, QStringLiteral("B"));
    child<QComboBox>(&window, "depthMenu")->setCurrentIndex(5);
    QCOMPARE(prefs.prefDepth, 5);
    child<QRadioButton>(&window, "RadioButton3")->click();
    QCOMPARE(prefs.prefSetting, true);
    QVERIFY(!child<QComboBox>(&window, "PopupMenu2")->isEnabled());
    child<QPushButton>(&window, "PushButton2")->click(); // Cancel keeps what was chosen
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(prefs.prefDepth, 5);
}

void tst_StartWindow::depth_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("depth");
    QTest::newRow("None") << 0 << 0;
    QTest::newRow("Unlimited") << 1 << -1;
    QTest::newRow("1 scans two levels") << 3 << 2;
    QTest::newRow("3") << 5 << 4;
    QTest::newRow("5") << 7 << 6;
}

void tst_StartWindow::depth()
{
    QFETCH(int, position);
    QFETCH(int, depth);
    QTemporaryDir dir;
    settings::Preferences prefs;
    prefs.prefDestination = true; // "Same as Original": no folder chooser
    prefs.prefDepth = position;
    startWindow window(dir.path(), prefs);
    Run run;
    wire(window, run, QString());
    QCOMPARE(child<QComboBox>(&window, "depthMenu")->itemText(position).isEmpty(), false);
    child<QPushButton>(&window, "PushButton1")->click();
    QCOMPARE(run.chooserCalls, 0);
    QCOMPARE(run.requests.size(), 1);
    QCOMPARE(run.requests[0].depth, depth);
    QVERIFY(run.requests[0].saveToSource);
    QVERIFY(run.requests[0].destination.isEmpty());
    QVERIFY(run.requests[0].favoriteFile.isEmpty());
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

void tst_StartWindow::askWithCancelledChooser()
{
    QTemporaryDir dir;
    settings::Preferences prefs;
    startWindow window(dir.path(), prefs);
    window.show();
    Run run;
    wire(window, run, QString());
    child<QPushButton>(&window, "PushButton1")->click();
    QCOMPARE(run.chooserCalls, 1);
    QCOMPARE(run.prompt, QStringLiteral("Please select a destination folder."));
    QVERIFY(run.requests.isEmpty());
    QVERIFY(window.isVisible());
    QCOMPARE(window.result(), 0);
    QVERIFY(child<QRadioButton>(&window, "RadioButton2")->isChecked());

    const QString folder = dir.path(); // a second try, now with a folder
    window.setFolderChooser([&folder](QWidget*, const QString&) { return folder; });
    child<QPushButton>(&window, "PushButton1")->click();
    QCOMPARE(run.requests.size(), 1);
    QCOMPARE(run.requests[0].destination, dir.path());
    QVERIFY(!run.requests[0].saveToSource);
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

void tst_StartWindow::favoriteRun()
{
    QTemporaryDir dir;
    makeFavorites(dir.path(), {"A", "B"});
    settings::Preferences prefs;
    prefs.prefFavorite = QStringLiteral("B");
    prefs.prefDestination = true;
    startWindow window(dir.path(), prefs);
    Run run;
    wire(window, run, QString());
    QVERIFY(child<QRadioButton>(&window, "RadioButton4")->isChecked());
    child<QPushButton>(&window, "PushButton1")->click();
    QCOMPARE(run.requests.size(), 1);
    QCOMPARE(run.requests[0].favoriteFile, QDir(dir.path()).filePath(QStringLiteral("B")));
}

QTEST_MAIN(tst_StartWindow)
#include "tst_startwindow.moc"
