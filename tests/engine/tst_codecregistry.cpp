// The table of output formats and the settings text of their options.

#include "engine/codecs/codecregistry.h"
#include "engine/codecs/exportoptions.h"
#include "engine/imageservices/imageexporter.h"
#include "settings/exporterhandle.h"
#include "settings/globals.h"

#include <QTest>

using namespace quillon::engine;
using namespace quillon::engine::codecs;

class tst_CodecRegistry : public QObject
{
    Q_OBJECT

private slots:
    void table();
    void everyValueRoundTrips();
    void settingsText_data();
    void settingsText();
    void exporterFromHandle();
};

void tst_CodecRegistry::table()
{
    const char* extensions[] = {"jpg", "jp2", "tif", "psd", "bmp", "pct",
                                "sgi", "iff", "png", "tga", "mac"};
    QCOMPARE(quillon::engine::codecs::codecs().size(), std::size_t(11));
    for (int code = 0; code < 11; ++code) {
        const CodecInfo* codec = codecByCode(code);
        QVERIFY(codec);
        QCOMPARE(codec->code, code);
        QCOMPARE(QString::fromLatin1(codec->type), quillon::settings::getFormat(code));
        QCOMPARE(codecByType(QLatin1String(codec->type)), codec);
        QCOMPARE(QLatin1String(codec->extension), QLatin1String(extensions[code]));
        for (const CodecOption& option : codec->options) {
            const int count = option.kind == OptionKind::Choice ? int(option.choices.size())
                                                                : option.maximum + 1;
            QVERIFY2(option.defaultValue >= (option.kind == OptionKind::Choice ? 0 : option.minimum) &&
                         option.defaultValue < count,
                     option.key);
            if (option.writerAttribute && option.kind == OptionKind::Choice)
                QCOMPARE(option.writerValues.size(), option.choices.size());
        }
    }
    QVERIFY(!codecByCode(11));
    QVERIFY(!codecByType(QStringLiteral("jp2")));
    QVERIFY(!codecByType(QStringLiteral("SGI")));
}

void tst_CodecRegistry::everyValueRoundTrips()
{
    for (const CodecInfo& codec : quillon::engine::codecs::codecs()) {
        for (const CodecOption& option : codec.options) {
            const int lo = option.kind == OptionKind::Choice ? 0 : option.minimum;
            const int hi = option.kind == OptionKind::Choice ? int(option.choices.size()) - 1
                                                             : option.maximum;
            for (int v = lo; v <= hi; ++v) {
                ExportOptions options(&codec);
                QVERIFY(options.setValue(option.key, v));
                const QString text = options.toText();
                const ExportOptions back = ExportOptions::fromText(&codec, text);
                QVERIFY2(back == options, qPrintable(QLatin1String(codec.menuEntry) + ": " + text));
                QCOMPARE(back.toText(), text);
            }
            ExportOptions options(&codec);
            QVERIFY(!options.setValue(option.key, hi + 1));
            QCOMPARE(options.value(option.key), option.defaultValue);
        }
    }
}

void tst_CodecRegistry::settingsText_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("JPEG empty is defaults") << "JPEG" << "" << "quality=85;progressive=0";
    QTest::newRow("JPEG both set") << "JPEG" << "quality=40;progressive=1" << "quality=40;progressive=1";
    QTest::newRow("JPEG order and spaces") << "JPEG" << " progressive = 1 ; quality=7" << "quality=7;progressive=1";
    QTest::newRow("JPEG out of range to default") << "JPEG" << "quality=101;progressive=1" << "quality=85;progressive=1";
    QTest::newRow("JPEG not a number to default") << "JPEG" << "quality=high" << "quality=85;progressive=0";
    QTest::newRow("JPEG unknown key ignored") << "JPEG" << "colour=blue;quality=50" << "quality=50;progressive=0";
    QTest::newRow("JPEG garbage") << "JPEG" << ";;=;quality;=5" << "quality=85;progressive=0";
    QTest::newRow("TIFF choice by name") << "TIFF" << "compression=DEFLATE" << "compression=deflate;quality=85";
    QTest::newRow("TIFF unknown choice to default") << "TIFF" << "compression=zip" << "compression=lzw;quality=85";
    QTest::newRow("BMP depth") << "BMPf" << "depth=32" << "depth=32";
    QTest::newRow("BMP bad depth") << "BMPf" << "depth=16" << "depth=24";
    QTest::newRow("PNG level") << "PNGf" << "compression=9;interlace=1" << "compression=9";
    QTest::newRow("Targa") << "TPIC" << "compression=none" << "compression=none";
    QTest::newRow("MacPaint has none") << "PNTG" << "quality=5" << "";
}

void tst_CodecRegistry::settingsText()
{
    QFETCH(QString, type);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const ExportOptions options = ExportOptions::fromText(codecByType(type), text);
    QCOMPARE(options.toText(), expected);
}

void tst_CodecRegistry::exporterFromHandle()
{
    quillon::settings::ExporterHandle handle(QStringLiteral("TIFF"));
    handle.setSettings(QStringLiteral("compression=packbits"));
    ImageExporter exporter(handle);
    QVERIFY(exporter.isOpen());
    QCOMPARE(exporter.type(), QStringLiteral("TIFF"));
    QCOMPARE(exporter.defaultFileNameExtension(), QStringLiteral("tif"));
    QCOMPARE(exporter.settings(), QStringLiteral("compression=packbits;quality=85"));
    QVERIFY(exporter.openExporter(QStringLiteral("jp2 ")));
    QCOMPARE(exporter.settings(), QString());
    QVERIFY(!ImageExporter(quillon::settings::ExporterHandle(QStringLiteral("none"))).isOpen());
}

QTEST_GUILESS_MAIN(tst_CodecRegistry)
#include "tst_codecregistry.moc"
