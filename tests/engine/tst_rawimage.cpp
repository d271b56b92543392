#include "engine/imageservices/rawimage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <cmath>
#include <thread>

using namespace quillon::engine;

namespace {

const QString kCanon = QStringLiteral(QUILLON_CORPUS "/raw/canon_eos_d30.crw");
const QString kKodak = QStringLiteral(QUILLON_CORPUS "/raw/kodak_c330.raw");

struct Means
{
    double r = 0, g = 0, b = 0;
    double redRatio() const { return r / g; }
    double blueRatio() const { return b / g; }
    double all() const { return (r + g + b) / 3; }
};

Means meansOf(const QImage& picture)
{
    Means m;
    double n = 0;
    for (int y = 0; y < picture.height(); y += 2) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); x += 2) {
            m.r += qRed(line[x]);
            m.g += qGreen(line[x]);
            m.b += qBlue(line[x]);
            ++n;
        }
    }
    m.r /= n;
    m.g /= n;
    m.b /= n;
    return m;
}

Means decode(const QString& path, int balance, double red, double blue, double bright)
{
    RawImage raw;
    QString error;
    if (!OpenRawImage(path, balance, red, blue, bright, &raw, &error)) {
        qWarning("%s", qPrintable(error));
        return {};
    }
    return meansOf(raw.picture);
}

} // namespace

class tst_rawimage : public QObject
{
    Q_OBJECT

private slots:
    void isRaw_data();
    void isRaw();
    void decodesAtNominalSize_data();
    void decodesAtNominalSize();
    void multipliersMoveChannels_data();
    void multipliersMoveChannels();
    void whiteBalanceModes();
    void decodersRunSideBySide();
    void refusesUndecodable_data();
    void refusesUndecodable();
};

void tst_rawimage::isRaw_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("raw");
    const char* endings[] = {"bay", "bmq", "cr2", "crw", "cs1", "dc2", "dcr", "fff", "k25", "kdc",
                             "mos", "mrw", "nef", "orf", "pef", "raf", "rdc", "srf", "x3f"};
    for (const char* ending : endings) {
        QTest::addRow("%s lower", ending) << QStringLiteral("IMG_1.") + QLatin1String(ending) << true;
        QTest::addRow("%s upper", ending) << QStringLiteral("IMG_1.") + QLatin1String(ending).toString().toUpper() << true;
    }
    QTest::newRow("no dot") << QStringLiteral("photoNEF") << true;
    QTest::newRow("mixed case") << QStringLiteral("a.Cr2") << true;
    QTest::newRow("raw ending then another") << QStringLiteral("x.nef.txt") << false;
    QTest::newRow("kodak .raw is not in the list") << QStringLiteral("kodak.raw") << false;
    QTest::newRow("jpeg") << QStringLiteral("a.jpg") << false;
    QTest::newRow("short name") << QStringLiteral("ef") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("exactly the ending") << QStringLiteral("orf") << true;
}

void tst_rawimage::isRaw()
{
    QFETCH(QString, name);
    QFETCH(bool, raw);
    QCOMPARE(isRawImage(name), raw);
}

void tst_rawimage::decodesAtNominalSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    // Sizes as LibRaw's own raw-identify reports them ("Output size").
    QTest::newRow("Canon EOS D30 CRW") << kCanon << QSize(2176, 1448);
    QTest::newRow("Kodak C330, ending not in the list") << kKodak << QSize(1216, 912);
}

void tst_rawimage::decodesAtNominalSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    RawImage raw;
    QString error;
    QVERIFY2(OpenRawImage(path, kRawWhiteBalanceCamera, 0, 0, 0, &raw, &error), qPrintable(error));
    QCOMPARE(QSize(raw.nominalWidth, raw.nominalHeight), size);
    QCOMPARE(raw.picture.size(), size);
    QCOMPARE(raw.picture.depth(), 32);
    QCOMPARE(raw.xResolution, 72.0); // neither file states a resolution (exiftool finds none)
    const Means m = meansOf(raw.picture);
    QVERIFY2(m.all() > 20 && m.all() < 235, "a real picture, neither black nor white");
}

void tst_rawimage::multipliersMoveChannels_data()
{
    QTest::addColumn<int>("balance");
    QTest::newRow("no balance") << int(kRawWhiteBalanceNone);
    QTest::newRow("auto balance") << int(kRawWhiteBalanceAuto);
    QTest::newRow("camera balance") << int(kRawWhiteBalanceCamera);
}

void tst_rawimage::multipliersMoveChannels()
{
    QFETCH(int, balance);
    const Means plain = decode(kKodak, balance, 0, 0, 0);
    QVERIFY(plain.g > 0);
    const Means redUp = decode(kKodak, balance, 1, 0, 0);
    const Means redDown = decode(kKodak, balance, -1, 0, 0);
    QVERIFY2(redUp.redRatio() > plain.redRatio() * 1.1, "red +1 raises red");
    QVERIFY2(redDown.redRatio() < plain.redRatio() / 1.1, "red -1 lowers red");
    QVERIFY2(std::abs(redUp.blueRatio() - plain.blueRatio()) < std::abs(redUp.redRatio() - plain.redRatio()),
             "red leaves blue much as it was");
    const Means blueUp = decode(kKodak, balance, 0, 1, 0);
    const Means blueDown = decode(kKodak, balance, 0, -0.5, 0);
    QVERIFY2(blueUp.blueRatio() > plain.blueRatio() * 1.1, "blue +1 raises blue");
    QVERIFY2(blueDown.blueRatio() < plain.blueRatio() / 1.05, "blue -0.5 lowers blue");
    // Out-of-range values are held at the ends of the range.
    const Means beyond = decode(kKodak, balance, 5, 0, 0);
    QVERIFY(std::abs(beyond.redRatio() - redUp.redRatio()) < 1e-9);
}

void tst_rawimage::whiteBalanceModes()
{
    const Means none = decode(kCanon, kRawWhiteBalanceNone, 0, 0, 0);
    const Means automatic = decode(kCanon, kRawWhiteBalanceAuto, 0, 0, 0);
    const Means camera = decode(kCanon, kRawWhiteBalanceCamera, 0, 0, 0);
    QVERIFY(none.g > 0 && automatic.g > 0 && camera.g > 0);
    // Automatic balance evens out the channel means (grey world).
    auto cast = [](const Means& m) { return std::abs(std::log(m.redRatio())) + std::abs(std::log(m.blueRatio())); };
    QVERIFY2(cast(automatic) < cast(none), "auto balance is more neutral than none");
    QVERIFY2(cast(automatic) < 0.15, "auto balance is nearly neutral");
    // The camera's own balance differs from the daylight matrix.
    QVERIFY2(std::abs(camera.redRatio() - none.redRatio()) > 0.01 ||
                 std::abs(camera.blueRatio() - none.blueRatio()) > 0.01,
             "camera balance is a balance of its own");
    // Brightness: +1 brightens, -1 darkens.
    const Means brighter = decode(kKodak, kRawWhiteBalanceCamera, 0, 0, 1);
    const Means darker = decode(kKodak, kRawWhiteBalanceCamera, 0, 0, -1);
    const Means normal = decode(kKodak, kRawWhiteBalanceCamera, 0, 0, 0);
    QVERIFY(brighter.all() > normal.all() + 10);
    QVERIFY(darker.all() < normal.all() - 10);
}

void tst_rawimage::decodersRunSideBySide()
{
    // Batch threads decode at the same time; each decoder must stay to itself.
    RawImage alone;
    QString error;
    QVERIFY2(OpenRawImage(kKodak, kRawWhiteBalanceAuto, 0.3, -0.2, 0.1, &alone, &error), qPrintable(error));
    RawImage results[2];
    bool ok[2] = {false, false};
    std::thread threads[2];
    for (int i = 0; i < 2; ++i)
        threads[i] = std::thread([&, i] {
            QString e;
            ok[i] = OpenRawImage(kKodak, kRawWhiteBalanceAuto, 0.3, -0.2, 0.1, &results[i], &e);
        });
    for (auto& thread : threads)
        thread.join();
    for (int i = 0; i < 2; ++i) {
        QVERIFY(ok[i]);
        QCOMPARE(results[i].picture, alone.picture);
    }
}

void tst_rawimage::refusesUndecodable_data()
{
    QTest::addColumn<QString>("path");
    const QDir stripped(QStringLiteral(QUILLON_CORPUS "/raw/metadata-only"));
    for (const QString& name : stripped.entryList(QDir::Files))
        QTest::newRow(qPrintable("image data stripped: " + name)) << stripped.filePath(name);
    for (const char* name : {"stub_header.nef", "stub_header.orf", "stub_header.raf",
                             "truncated_d30.crw", "zero_byte.nef", "jpeg_named.nef"})
        QTest::newRow(name) << QStringLiteral(QUILLON_CORPUS "/odd/") + QLatin1String(name);
    QTest::newRow("missing") << QStringLiteral(QUILLON_CORPUS "/raw/missing.crw");
}

void tst_rawimage::refusesUndecodable()
{
    QFETCH(QString, path);
    RawImage raw;
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!OpenRawImage(path, kRawWhiteBalanceAuto, 0.5, 0, 0, &raw, &error));
    QVERIFY(raw.picture.isNull());
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(timer.elapsed() < 20000);
}

QTEST_GUILESS_MAIN(tst_rawimage)
#include "tst_rawimage.moc"
