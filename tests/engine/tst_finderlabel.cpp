#include "xattrhelpers.h"

#include "engine/labels/finderlabel.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon::engine;

namespace {

using xattrtest::setTags;
using xattrtest::tagsOf;
using xattrtest::writeFile;

QByteArray sidecar(const char* label, bool element = false)
{
    QByteArray body = element ? QByteArray("<xmp:Label>") + label + "</xmp:Label>"
                              : QByteArray("<rdf:Description xmp:Label=\"") + label + "\"/>";
    return "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/"
           "02/22-rdf-syntax-ns#\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">" +
           body + "</rdf:RDF></x:xmpmeta>";
}

} // namespace

class tst_finderlabel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsLabel_data();
    void readsLabel();
    void namesAndConversion();
    void setKeepsOtherTags_data();
    void setKeepsOtherTags();
    void setFailsWithReason();

private:
    QTemporaryDir m_dir;
};

void tst_finderlabel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString probe = m_dir.filePath("probe");
    writeFile(probe);
    if (!setTags(probe, "x"))
        QSKIP("the temporary folder does not support user extended attributes");
}

void tst_finderlabel::readsLabel_data()
{
    QTest::addColumn<QByteArray>("tags");   // null: no attribute
    QTest::addColumn<QString>("sidecar");  // "", "jpg.xmp" or "xmp"
    QTest::addColumn<QByteArray>("sidecarText");
    QTest::addColumn<int>("number");
    QTest::newRow("colour only") << QByteArray("Red") << QString() << QByteArray() << 6;
    QTest::newRow("colour first") << QByteArray("Orange,holiday") << QString() << QByteArray() << 7;
    QTest::newRow("colour after other tags") << QByteArray("holiday,2024,Blue") << QString() << QByteArray() << 4;
    QTest::newRow("first colour wins") << QByteArray("Green,Red") << QString() << QByteArray() << 2;
    QTest::newRow("letter case") << QByteArray("pURPLE") << QString() << QByteArray() << 3;
    QTest::newRow("spaces around") << QByteArray(" work , yellow ") << QString() << QByteArray() << 5;
    QTest::newRow("Gray") << QByteArray("gray") << QString() << QByteArray() << 1;
    QTest::newRow("Grey") << QByteArray("Grey") << QString() << QByteArray() << 1;
    QTest::newRow("colour inside a word is no colour") << QByteArray("Redwood,Bluebell") << QString() << QByteArray() << 0;
    QTest::newRow("no colour") << QByteArray("holiday,family") << QString() << QByteArray() << 0;
    QTest::newRow("attribute absent") << QByteArray() << QString() << QByteArray() << 0;
    QTest::newRow("sidecar photo.jpg.xmp") << QByteArray() << QStringLiteral("jpg.xmp") << sidecar("Green") << 2;
    QTest::newRow("sidecar photo.xmp, element form") << QByteArray() << QStringLiteral("xmp") << sidecar("purple", true) << 3;
    QTest::newRow("sidecar when tags name no colour") << QByteArray("holiday") << QStringLiteral("xmp") << sidecar("Red") << 6;
    QTest::newRow("tags before sidecar") << QByteArray("Blue") << QStringLiteral("jpg.xmp") << sidecar("Red") << 4;
    QTest::newRow("sidecar with other label text") << QByteArray() << QStringLiteral("xmp") << sidecar("To Do") << 0;
    // Nearly 4 MiB of element starts that never close: read in linear time, no label.
    QTest::newRow("sidecar of unclosed labels") << QByteArray() << QStringLiteral("xmp")
                                                << QByteArray("xmp:Label>").repeated(400000) << 0;
}

void tst_finderlabel::readsLabel()
{
    QFETCH(QByteArray, tags);
    QFETCH(QString, sidecar);
    QFETCH(QByteArray, sidecarText);
    QFETCH(int, number);
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    writeFile(photo);
    if (!tags.isNull())
        QVERIFY(setTags(photo, tags));
    if (!sidecar.isEmpty())
        writeFile(dir.filePath("photo." + sidecar), sidecarText);
    QCOMPARE(FinderLabelMBS(photo), number);
}

void tst_finderlabel::namesAndConversion()
{
    QCOMPARE(labelNames(), QStringList({"Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Gray"}));
    const int expected[] = {0, 7, 4, 6, 5, 3, 1, 2}; // label index by Finder label number 0..7
    for (int number = 0; number <= 7; ++number) {
        QCOMPARE(convertLabel(number), expected[number]);
        if (number > 0) // the name of label number n is the name of its index
            QCOMPARE(finderLabelName(number), labelNames().at(expected[number] - 1));
    }
    QCOMPARE(convertLabel(9), 0);
    QCOMPARE(convertLabel(-1), 0);
    QCOMPARE(finderLabelName(0), QString());
    QCOMPARE(finderLabelName(8), QString());
    QCOMPARE(labelNumberOfName("grey"), 1);
    QCOMPARE(labelNumberOfName("none"), 0);
}

void tst_finderlabel::setKeepsOtherTags_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no attribute
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("after");  // null: attribute removed
    QTest::newRow("first label") << QByteArray() << 6 << QByteArray("Red");
    QTest::newRow("kept tags, colour appended") << QByteArray("holiday,family") << 4 << QByteArray("holiday,family,Blue");
    QTest::newRow("colour replaced") << QByteArray("a,red,b") << 2 << QByteArray("a,b,Green");
    QTest::newRow("several colours become one") << QByteArray("Red,Grey,x") << 7 << QByteArray("x,Orange");
    QTest::newRow("none removes colours only") << QByteArray("trip,Blue") << 0 << QByteArray("trip");
    QTest::newRow("none on the last tag removes the attribute") << QByteArray("Blue") << 0 << QByteArray();
}

void tst_finderlabel::setKeepsOtherTags()
{
    QFETCH(QByteArray, before);
    QFETCH(int, number);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    writeFile(photo);
    if (!before.isNull())
        QVERIFY(setTags(photo, before));
    QString error;
    QVERIFY2(setFinderLabel(photo, number, &error), qPrintable(error));
    QCOMPARE(tagsOf(photo), after);
    QCOMPARE(FinderLabelMBS(photo), number);
}

void tst_finderlabel::setFailsWithReason()
{
    QString error;
    const QString missing = m_dir.filePath("missing.jpg");
    QVERIFY(!setFinderLabel(missing, 6, &error));
    QVERIFY2(error.contains(missing), qPrintable(error));
    QCOMPARE(FinderLabelMBS(missing), 0);
    const QString photo = m_dir.filePath("p.jpg");
    writeFile(photo);
    QVERIFY(!setFinderLabel(photo, 8, &error));
    QVERIFY(tagsOf(photo).isNull());
    // /proc holds no user attributes; reading gives "no label", writing fails with a reason.
    QCOMPARE(FinderLabelMBS(QStringLiteral("/proc/self/status")), 0);
    QVERIFY(!setFinderLabel(QStringLiteral("/proc/self/status"), 6, &error));
    QVERIFY2(error.contains("/proc/self/status"), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_finderlabel)
#include "tst_finderlabel.moc"
