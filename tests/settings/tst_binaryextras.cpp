// The three encodings of the settings stream: Short, Boolean and String.

#include "settings/binaryextras.h"

#include <QBuffer>
#include <QTest>

using namespace quillon::settings::binaryExtras;

namespace {

template <typename Write> QByteArray written(Write write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return bytes;
}

} // namespace

class tst_BinaryExtras : public QObject
{
    Q_OBJECT

private slots:
    void shortValue_data();
    void shortValue();
    void booleanValue();
    void stringValue_data();
    void stringValue();
    void stringLimit();
    void cutShort_data();
    void cutShort();
};

void tst_BinaryExtras::shortValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("readBack");
    QTest::newRow("zero") << 0 << QByteArray::fromHex("0000") << 0;
    QTest::newRow("400 big-endian") << 400 << QByteArray::fromHex("0190") << 400;
    QTest::newRow("minus one") << -1 << QByteArray::fromHex("ffff") << -1;
    QTest::newRow("largest") << 32767 << QByteArray::fromHex("7fff") << 32767;
    QTest::newRow("smallest") << -32768 << QByteArray::fromHex("8000") << -32768;
    QTest::newRow("40000 keeps its low 16 bits") << 40000 << QByteArray::fromHex("9c40") << -25536;
    QTest::newRow("65536 wraps to zero") << 65536 << QByteArray::fromHex("0000") << 0;
}

void tst_BinaryExtras::shortValue()
{
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    QFETCH(int, readBack);
    QCOMPARE(written([&](QIODevice& d) { QVERIFY(writeShort(d, value)); }), bytes);
    ByteReader reader(bytes);
    QCOMPARE(reader.readShort(), readBack);
    QVERIFY(reader.atEnd());
    QVERIFY(!reader.failed());
}

void tst_BinaryExtras::booleanValue()
{
    QCOMPARE(written([](QIODevice& d) {
                 writeBoolean(d, true);
                 writeBoolean(d, false);
             }),
             QByteArray::fromHex("0100"));
    ByteReader reader(QByteArray::fromHex("0001ff80"));
    QCOMPARE(reader.readBoolean(), false);
    QCOMPARE(reader.readBoolean(), true);
    QCOMPARE(reader.readBoolean(), true);
    QCOMPARE(reader.readBoolean(), true);
    QVERIFY(!reader.failed());
}

void tst_BinaryExtras::stringValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("None") << QStringLiteral("None") << QByteArray::fromHex("00044e6f6e65");
    QTest::newRow("empty") << QString() << QByteArray::fromHex("0000");
    // Two-, three- and four-byte UTF-8 characters: the count is of bytes, not characters.
    QTest::newRow("multi-byte UTF-8")
        << QStringLiteral("é日😀") << QByteArray::fromHex("0009c3a9e697a5f09f9880");
}

void tst_BinaryExtras::stringValue()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(written([&](QIODevice& d) { QVERIFY(writeString(d, text)); }), bytes);
    ByteReader reader(bytes);
    QCOMPARE(reader.readString(), text);
    QVERIFY(reader.atEnd());
    QVERIFY(!reader.failed());
}

void tst_BinaryExtras::stringLimit()
{
    const QString longest(int(kMaxStringBytes), QLatin1Char('x'));
    const QByteArray bytes = written([&](QIODevice& d) { QVERIFY(writeString(d, longest)); });
    QCOMPARE(bytes.size(), kMaxStringBytes + 2);
    QCOMPARE(bytes.left(2), QByteArray::fromHex("7fff"));
    ByteReader reader(bytes);
    QCOMPARE(reader.readString(), longest);

    // One byte more, or a character whose bytes cross the limit, is refused and writes nothing.
    QCOMPARE(written([&](QIODevice& d) { QVERIFY(!writeString(d, longest + QLatin1Char('x'))); }),
             QByteArray());
    const QString crossing =
        QString(int(kMaxStringBytes) - 1, QLatin1Char('x')) + QStringLiteral("é");
    QCOMPARE(written([&](QIODevice& d) { QVERIFY(!writeString(d, crossing)); }), QByteArray());
}

void tst_BinaryExtras::cutShort_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("badLength");
    QTest::newRow("half a count") << QByteArray::fromHex("00") << false;
    QTest::newRow("count past the end") << QByteArray::fromHex("00054e6f6e65") << false;
    QTest::newRow("negative count") << QByteArray::fromHex("ffff4e6f") << true;
}

void tst_BinaryExtras::cutShort()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, badLength);
    ByteReader reader(bytes);
    QCOMPARE(reader.readString(), QString());
    QVERIFY(reader.failed());
    QCOMPARE(reader.hasBadLength(), badLength);
    QCOMPARE(reader.isCutShort(), !badLength);
    // Nothing is read after a failure, even where bytes remain.
    const qsizetype offset = reader.offset();
    QCOMPARE(reader.readBoolean(), false);
    QCOMPARE(reader.readShort(), 0);
    QCOMPARE(reader.offset(), offset);
}

QTEST_GUILESS_MAIN(tst_BinaryExtras)
#include "tst_binaryextras.moc"
