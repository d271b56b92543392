// Output names: the File Name step's composition, serial counters per label, the default
// name, getNameAndExtension, getNewFile and the exclusive reservation.

#include "engine/steps/outputnaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon;
using engine::SerialNumbers;

namespace {

const QDate kDate(2005, 12, 31);

struct Slots
{
    std::array<int, 3> prefixMode = {5, 5, 5};
    std::array<QString, 3> prefixString;
    std::array<int, 3> suffixMode = {1, 6, 6};
    std::array<QString, 3> suffixString;
    bool separator = true;
};

settings::nameSetting nameStep(const Slots& s)
{
    settings::nameSetting step;
    step.prefixMode = s.prefixMode;
    step.suffixMode = s.suffixMode;
    for (size_t i = 0; i < 3; ++i) {
        step.prefixString[i] = s.prefixString[i];
        step.suffixString[i] = s.suffixString[i];
    }
    step.nameSeparator = s.separator;
    return step;
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

} // namespace

Q_DECLARE_METATYPE(Slots)

class tst_OutputNaming : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void serialsPerLabel();
    void serialPatterns_data();
    void serialPatterns();
    void defaultName();
    void nameAndExtension_data();
    void nameAndExtension();
    void safeName_data();
    void safeName();
    void newFile_data();
    void newFile();
    void reservation();
    void reservationFails();
};

void tst_OutputNaming::fileName_data()
{
    QTest::addColumn<Slots>("parts");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    QTest::newRow("new step on a raw name") << Slots{} << "IMG_0001.CR2"
                                            << "IMG_0001.jpg";
    Slots date;
    date.prefixMode = {1, 5, 5};
    QTest::newRow("date prefix, separator") << date << "IMG_0001.CR2"
                                            << "20051231_IMG_0001.jpg";
    date.separator = false;
    QTest::newRow("date prefix, no separator") << date << "IMG_0001.CR2"
                                               << "20051231IMG_0001.jpg";
    Slots small;
    small.suffixMode = {0, 1, 6};
    small.suffixString[0] = QStringLiteral("-small");
    QTest::newRow("user suffix then extension") << small << "a.png"
                                                << "a-small.jpg";
    Slots extDate;
    extDate.suffixMode = {1, 2, 6};
    QTest::newRow("extension then date") << extDate << "a.png"
                                         << "a.jpg20051231";
    Slots none;
    none.suffixMode = {6, 6, 6};
    QTest::newRow("no suffix, no extension") << none << "a.png"
                                             << "a";
    Slots emptyText;
    emptyText.prefixMode = {0, 5, 5};
    QTest::newRow("empty user text still separated") << emptyText << "a.png"
                                                     << "_a.jpg";
    Slots unknown;
    unknown.prefixMode = {9, 5, 5};
    unknown.suffixMode = {9, 1, 6};
    QTest::newRow("unknown codes append nothing") << unknown << "a.png"
                                                  << "_a.jpg";
    Slots serial;
    serial.prefixMode = {2, 5, 5};
    serial.suffixMode = {3, 1, 6};
    QTest::newRow("one-digit serial in prefix and suffix") << serial << "a.png"
                                                           << "1_a1.jpg";
}

void tst_OutputNaming::fileName()
{
    QFETCH(Slots, parts);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    SerialNumbers serials{};
    QCOMPARE(engine::function_fileName(nameStep(parts), source, 0, QStringLiteral("JPG"), serials,
                                       kDate),
             expected);
    QCOMPARE(serials[0], 1);
}

void tst_OutputNaming::serialsPerLabel()
{
    Slots trip;
    trip.prefixMode = {0, 3, 5};
    trip.prefixString[0] = QStringLiteral("Trip");
    const auto step = nameStep(trip);
    SerialNumbers serials{};
    const QString jpg = QStringLiteral("jpg");
    QCOMPARE(engine::function_fileName(step, "a.tif", 6, jpg, serials, kDate), "Trip_01_a.jpg");
    QCOMPARE(engine::function_fileName(step, "b.tif", 6, jpg, serials, kDate), "Trip_02_b.jpg");
    QCOMPARE(engine::function_fileName(step, "c.tif", 0, jpg, serials, kDate), "Trip_01_c.jpg");
    QCOMPARE(serials[6], 2);
    QCOMPARE(serials[0], 1);
    // A step whose slots use no serial number still advances its label's counter.
    QCOMPARE(engine::function_fileName(nameStep(Slots{}), "d.tif", 6, jpg, serials, kDate),
             "d.jpg");
    QCOMPARE(serials[6], 3);
}

void tst_OutputNaming::serialPatterns_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two digits, 1") << 3 << 0 << "01_a";
    QTest::newRow("two digits, 123") << 3 << 122 << "123_a";
    QTest::newRow("three digits, 1") << 4 << 0 << "001_a";
    QTest::newRow("three digits, 1000") << 4 << 999 << "1000_a";
    QTest::newRow("one digit, 10") << 2 << 9 << "10_a";
}

void tst_OutputNaming::serialPatterns()
{
    QFETCH(int, mode);
    QFETCH(int, before);
    QFETCH(QString, expected);
    Slots s;
    s.prefixMode = {mode, 5, 5};
    s.suffixMode = {6, 6, 6};
    SerialNumbers serials{};
    serials[2] = before;
    QCOMPARE(engine::function_fileName(nameStep(s), "a", 2, "jpg", serials, kDate), expected);
}

void tst_OutputNaming::defaultName()
{
    QCOMPARE(engine::defaultOutputName("IMG_0001.CR2", "JPG"), "IMG_0001.jpg");
    QCOMPARE(engine::defaultOutputName("README", "png"), "README.png");
}

void tst_OutputNaming::nameAndExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << "photo.jpg"
                           << "photo"
                           << "jpg";
    QTest::newRow("two dots") << "archive.tar.gz"
                              << "archive.tar"
                              << "gz";
    QTest::newRow("no dot") << "README"
                            << "README"
                            << "";
    QTest::newRow("leading dot") << ".profile"
                                 << ".profile"
                                 << "";
    QTest::newRow("trailing dot") << "name."
                                  << "name"
                                  << "";
}

void tst_OutputNaming::nameAndExtension()
{
    QFETCH(QString, name);
    QString base, extension;
    engine::getNameAndExtension(name, base, extension);
    QTEST(base, "base");
    QTEST(extension, "extension");
}

void tst_OutputNaming::safeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ordinary") << "a b.jpg"
                              << "a b.jpg";
    QTest::newRow("slash from a user text") << "../up/a.jpg"
                                            << ".._up_a.jpg";
    QTest::newRow("dot dot") << ".."
                             << "_";
    QTest::newRow("empty") << ""
                           << "_";
}

void tst_OutputNaming::safeName()
{
    QFETCH(QString, name);
    QTEST(engine::safeFileName(name), "expected");
}

void tst_OutputNaming::newFile_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free") << QStringList{} << "photo.jpg"
                          << "photo.jpg";
    QTest::newRow("two taken") << QStringList{"photo.jpg", "photo 1.jpg"} << "photo.jpg"
                               << "photo 2.jpg";
    QTest::newRow("no extension") << QStringList{"README"} << "README"
                                  << "README 1";
    QTest::newRow("leading dot") << QStringList{".profile"} << ".profile"
                                 << ".profile 1";
    QTest::newRow("two extensions") << QStringList{"archive.tar.gz"} << "archive.tar.gz"
                                    << "archive.tar 1.gz";
}

void tst_OutputNaming::newFile()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, wanted);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString& name : existing)
        touch(dir.filePath(name));
    QCOMPARE(engine::getNewFile(dir.filePath(wanted)), dir.filePath(expected));
}

void tst_OutputNaming::reservation()
{
    QTemporaryDir dir;
    touch(dir.filePath("a.jpg"));
    // A dangling link is a name that is taken: creating through it would write elsewhere.
    QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("a 1.jpg")));
    const engine::NameReservation first = engine::reserveNewFile(dir.filePath("a.jpg"));
    QVERIFY2(first.ok, qPrintable(first.error));
    QCOMPARE(first.path, dir.filePath("a 2.jpg"));
    QCOMPARE(QFileInfo(first.path).size(), 0);
    QVERIFY(!QFileInfo::exists(dir.filePath("nowhere")));
    const engine::NameReservation second = engine::reserveNewFile(dir.filePath("a.jpg"));
    QCOMPARE(second.path, dir.filePath("a 3.jpg"));
}

void tst_OutputNaming::reservationFails()
{
    QTemporaryDir dir;
    touch(dir.filePath("file"));
    const engine::NameReservation r = engine::reserveNewFile(dir.filePath("file/a.jpg"));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QLatin1String("file/a.jpg")) &&
                 r.error.contains(QLatin1String("Not a directory")),
             qPrintable(r.error));
}

QTEST_GUILESS_MAIN(tst_OutputNaming)
#include "tst_outputnaming.moc"
