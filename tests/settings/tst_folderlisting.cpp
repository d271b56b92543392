#include "settings/folderlisting.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::settings;

class tst_FolderListing : public QObject
{
    Q_OBJECT

private slots:
    void order_data();
    void order();
    void listsFolderInOrderWithHiddenEntries();
};

void tst_FolderListing::order_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("numbers by value") << "IMG_2.jpg" << "IMG_10.jpg";
    QTest::newRow("letter case ignored") << "apple.jpg" << "Banana.jpg";
    QTest::newRow("upper case ignored") << "Apple.jpg" << "banana.jpg";
    QTest::newRow("shorter prefix first") << "IMG" << "IMG_1";
    QTest::newRow("leading zeros by value") << "a007" << "a8";
    QTest::newRow("long digit runs") << "x99999999999999999999" << "x100000000000000000000";
    QTest::newRow("ties by exact text") << "A1" << "a1";
    QTest::newRow("digits before letters") << "1zebra" << "apple";
}

void tst_FolderListing::order()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QVERIFY(compareListingNames(before, after) < 0);
    QVERIFY(compareListingNames(after, before) > 0);
    QCOMPARE(compareListingNames(before, before), 0);
}

void tst_FolderListing::listsFolderInOrderWithHiddenEntries()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"IMG_10.jpg", "img_9.jpg", ".hidden", "IMG_1.jpg", "sub"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QStringList names;
    for (const QFileInfo& info : listFolder(dir.path()))
        names << info.fileName();
    QCOMPARE(names, QStringList({".hidden", "IMG_1.jpg", "img_9.jpg", "IMG_10.jpg", "sub"}));
    QVERIFY(listFolder(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

QTEST_GUILESS_MAIN(tst_FolderListing)
#include "tst_folderlisting.moc"
