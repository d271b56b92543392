// Quillon's own pictures: every picture the windows ask for is compiled in, decodes (also with an
// independent decoder), has its designed size and a sharp double-density twin, the committed files
// are what the drawing program makes, and the desktop file passes the freedesktop checks.

#include "resources/resources.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pictures_data();
    void pictures();
    void iconSvgMatchesPng();
    void otherDecoderReadsThem();
    void drawingProgramMakesTheCommittedFiles();
    void desktopFile();
};

namespace {

struct Expected
{
    QString name; // path under ":/" and under resources/
    QSize size;
};

QList<Expected> designedPictures()
{
    QList<Expected> out;
    for (const char* kind : {"Action", "Edit", "Add", "Remove", "Path"})
        for (const char* look : {"", "_Pressed", "_Disabled"}) {
            const QString base =
                QStringLiteral("buttonimages/%1%2").arg(QLatin1String(kind), QLatin1String(look));
            out.append({base + QStringLiteral(".tif"), QSize(24, 24)});
            out.append({base + QStringLiteral("@2x.tif"), QSize(48, 48)});
        }
    for (const char* label :
         {"all", "red", "orange", "yellow", "green", "blue", "purple", "gray"}) {
        const QString base = QStringLiteral("labels/") + QLatin1String(label);
        out.append({base + QStringLiteral(".png"), QSize(10, 10)});
        out.append({base + QStringLiteral("@2x.png"), QSize(20, 20)});
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512})
        out.append({QStringLiteral("icons/quillon-%1.png").arg(size), QSize(size, size)});
    return out;
}

QImage read(const QString& path)
{
    QImageReader reader(path);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// The largest difference of any channel between two pictures of the same size.
int largestDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

const QString kSourceResources = QStringLiteral(QUILLON_SOURCE_DIR "/resources/");

} // namespace

void tst_Resources::initTestCase()
{
    quillon::resources::init();
    QVERIFY2(QImageReader::supportedImageFormats().contains("tiff"),
             "Qt's TIFF reader (qt6-image-formats-plugins) is needed for the button pictures");
}

void tst_Resources::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const Expected& e : designedPictures())
        QTest::newRow(qPrintable(e.name)) << e.name << e.size;
}

void tst_Resources::pictures()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QImageReader reader(QStringLiteral(":/") + name);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(argb.pixel(0, 0) != argb.pixel(size.width() / 2, size.height() / 2), "blank picture");
    // The corners are see-through, so the pictures sit on any background.
    QVERIFY(qAlpha(argb.pixel(0, 0)) < 128);
}

void tst_Resources::iconSvgMatchesPng()
{
    QImageReader reader(QStringLiteral(":/icons/quillon.svg"));
    QVERIFY2(reader.canRead(), "Qt's SVG reader (libqt6svg6) is needed for the icon");
    reader.setScaledSize(QSize(256, 256));
    const QImage svg = reader.read().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(svg.size(), QSize(256, 256));
    const QImage png = read(QStringLiteral(":/icons/quillon-256.png"));
    // Two renderers of the same drawing: they differ only along antialiased edges.
    long long total = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const QRgb p = svg.pixel(x, y), q = png.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                     std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    const double mean = double(total) / (256 * 256 * 4);
    QVERIFY2(mean < 2.0, qPrintable(QStringLiteral("mean difference %1").arg(mean)));
}

void tst_Resources::otherDecoderReadsThem()
{
    QStringList files;
    QStringList expected;
    for (const Expected& e : designedPictures()) {
        files << kSourceResources + e.name;
        expected << QStringLiteral("%1x%2").arg(e.size.width()).arg(e.size.height());
    }
    QProcess identify;
    identify.start(QStringLiteral("/usr/bin/identify"),
                   QStringList{QStringLiteral("-format"), QStringLiteral("%wx%h\\n")} + files);
    QVERIFY(identify.waitForFinished(60000));
    QCOMPARE(identify.exitCode(), 0);
    const QStringList sizes = QString::fromUtf8(identify.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(sizes, expected);
}

void tst_Resources::drawingProgramMakesTheCommittedFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess draw;
    draw.start(QStringLiteral(QUILLON_DRAWPICTURES), {dir.path()});
    QVERIFY(draw.waitForFinished(60000));
    QVERIFY2(draw.exitCode() == 0, draw.readAllStandardError().constData());
    for (const Expected& e : designedPictures()) {
        const QImage made = read(dir.filePath(e.name));
        const QImage committed = read(kSourceResources + e.name);
        QVERIFY2(!made.isNull(), qPrintable(e.name));
        QCOMPARE(made.size(), committed.size());
        QVERIFY2(
            largestDifference(made, committed) <= 1,
            qPrintable(e.name + QStringLiteral(" differs from what the drawing program makes")));
    }
    QFile made(dir.filePath(QStringLiteral("icons/quillon.svg")));
    QFile committed(kSourceResources + QStringLiteral("icons/quillon.svg"));
    QVERIFY(made.open(QIODevice::ReadOnly) && committed.open(QIODevice::ReadOnly));
    QCOMPARE(made.readAll(), committed.readAll());
}

void tst_Resources::desktopFile()
{
    const QString path = kSourceResources + QStringLiteral("quillon.desktop");
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    QVERIFY(validate.waitForFinished(30000));
    const QByteArray output = validate.readAllStandardOutput() + validate.readAllStandardError();
    QVERIFY2(validate.exitCode() == 0 && output.isEmpty(), output.constData());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QHash<QString, QString> entry;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            entry.insert(line.left(eq), line.mid(eq + 1));
    }
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("quillon %F"));
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral("quillon"));
    const QStringList types =
        entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const char* type : {"image/jpeg", "image/png", "image/tiff", "image/x-canon-cr2"})
        QVERIFY2(types.contains(QLatin1String(type)), type);
    for (const QString& type : types)
        QVERIFY2(type.startsWith(QLatin1String("image/")), qPrintable(type));
}

QTEST_MAIN(tst_Resources)
#include "tst_resources.moc"
