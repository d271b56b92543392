// Files and folders dropped on the main window: which become sources, and the duplicate message.

#include "ui/main/mainwindow.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <unistd.h>

using quillon::ui::mainWindow;

class tst_mainwindowdrops : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void drop_data();
    void drop();
    void otherUrlsAreRefused();
    void letterCaseVariantsAreTwoSources();

private:
    QString make(const QString& name, const QString& corpusFile = QStringLiteral("formats/gray.jpg"));
    // Drags the URLs onto the window and drops them; returns whether the window took the drag.
    bool dropUrls(const QList<QUrl>& urls);
    QList<QMessageBox*> shownMessages() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainWindow> m_window;
};

QString tst_mainwindowdrops::make(const QString& name, const QString& corpusFile)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (corpusFile.isEmpty()) {
        QFile text(path);
        text.open(QIODevice::WriteOnly);
        text.write("not a picture\n");
    } else {
        QFile::copy(QStringLiteral(QUILLON_CORPUS "/") + corpusFile, path);
    }
    return path;
}

void tst_mainwindowdrops::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<mainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_mainwindowdrops::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

bool tst_mainwindowdrops::dropUrls(const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = m_window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    return drop.isAccepted();
}

QList<QMessageBox*> tst_mainwindowdrops::shownMessages() const
{
    QList<QMessageBox*> shown;
    for (QMessageBox* box : m_window->findChildren<QMessageBox*>()) {
        if (box->isVisible())
            shown.append(box);
    }
    return shown;
}

void tst_mainwindowdrops::drop_data()
{
    // Names made in the temporary folder ("dir/" makes a folder, "text:" a file that is no
    // picture, "link:a=b" a hard link a to b, "sym:a=b" a symbolic link a to b); the sources
    // before the drop; the drop; the sources after it; whether the message shows.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("message");

    QTest::newRow("two new and one already there: both added, one message")
        << QStringList{"a.jpg", "b.jpg", "c.jpg"} << QStringList{"b.jpg"}
        << QStringList{"a.jpg", "b.jpg", "c.jpg"} << QStringList{"b.jpg", "a.jpg", "c.jpg"}
        << true;
    QTest::newRow("the same file twice in one drop is added once")
        << QStringList{"a.jpg"} << QStringList{} << QStringList{"a.jpg", "a.jpg"}
        << QStringList{"a.jpg"} << true;
    QTest::newRow("a folder named Photos.APP is skipped")
        << QStringList{"Photos.APP/"} << QStringList{} << QStringList{"Photos.APP"}
        << QStringList{} << false;
    QTest::newRow("a folder is added itself, not its contents")
        << QStringList{"Photos/", "Photos/x.jpg"} << QStringList{} << QStringList{"Photos"}
        << QStringList{"Photos"} << false;
    QTest::newRow("a file that is no picture is skipped without a message")
        << QStringList{"text:notes.txt", "a.jpg"} << QStringList{}
        << QStringList{"notes.txt", "a.jpg"} << QStringList{"a.jpg"} << false;
    QTest::newRow("a hard link to a source is the same source")
        << QStringList{"a.jpg", "link:other.jpg=a.jpg"} << QStringList{"a.jpg"}
        << QStringList{"other.jpg"} << QStringList{"a.jpg"} << true;
    QTest::newRow("a path through a symbolic link is the same source")
        << QStringList{"real/a.jpg", "sym:via=real"} << QStringList{"real/a.jpg"}
        << QStringList{"via/a.jpg"} << QStringList{"real/a.jpg"} << true;
}

void tst_mainwindowdrops::drop()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, before);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, after);
    QFETCH(bool, message);

    for (const QString& file : files) {
        if (file.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(m_dir->filePath(file)));
        } else if (file.startsWith(QLatin1String("text:"))) {
            make(file.mid(5), QString());
        } else if (file.startsWith(QLatin1String("link:")) ||
                   file.startsWith(QLatin1String("sym:"))) {
            const bool hard = file.startsWith(QLatin1String("link:"));
            const QStringList parts = file.mid(hard ? 5 : 4).split(QLatin1Char('='));
            const QByteArray target = QFile::encodeName(m_dir->filePath(parts.at(1)));
            const QByteArray link = QFile::encodeName(m_dir->filePath(parts.at(0)));
            QCOMPARE(hard ? ::link(target, link) : ::symlink(target, link), 0);
        } else {
            make(file);
        }
    }
    for (const QString& name : before)
        m_window->sourceFiles().append(m_dir->filePath(name));

    QList<QUrl> urls;
    for (const QString& name : dropped)
        urls.append(QUrl::fromLocalFile(m_dir->filePath(name)));
    QVERIFY(dropUrls(urls));

    QStringList expected;
    for (const QString& name : after)
        expected.append(m_dir->filePath(name));
    QCOMPARE(m_window->sourceFiles(), expected);

    const QList<QMessageBox*> shown = shownMessages();
    QCOMPARE(shown.size(), message ? 1 : 0);
    if (message) {
        QMessageBox* box = shown.first();
        QCOMPARE(box->text(), QStringLiteral("File(s) does already exist.\n\nOne or more of the "
                                             "files you were trying to add does already exist "
                                             "in the source list."));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        QTRY_VERIFY(shownMessages().isEmpty());
    }
}

void tst_mainwindowdrops::otherUrlsAreRefused()
{
    QVERIFY(!dropUrls({QUrl(QStringLiteral("https://example.org/a.jpg"))}));
    QVERIFY(m_window->sourceFiles().isEmpty());
}

void tst_mainwindowdrops::letterCaseVariantsAreTwoSources()
{
    const QString lower = make(QStringLiteral("a.jpg"));
    const QString upper = make(QStringLiteral("A.jpg"));
    if (QFileInfo(lower).canonicalFilePath() == QFileInfo(upper).canonicalFilePath())
        QSKIP("the temporary folder's file system ignores letter case");
    QVERIFY(dropUrls({QUrl::fromLocalFile(lower), QUrl::fromLocalFile(upper)}));
    QCOMPARE(m_window->sourceFiles(), (QStringList{lower, upper}));
    QVERIFY(shownMessages().isEmpty());
}

QTEST_MAIN(tst_mainwindowdrops)
#include "tst_mainwindowdrops.moc"
