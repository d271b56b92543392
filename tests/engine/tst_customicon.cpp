#include "engine/icons/customicon.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace quillon::engine;

namespace {

void writeFile(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("output");
}

QString identify(const QString& format, const QString& path)
{
    QProcess im;
    im.start(QStringLiteral("/usr/bin/identify"), {QStringLiteral("-format"), format, path});
    im.waitForFinished(30000);
    return QString::fromUtf8(im.readAllStandardOutput()).trimmed();
}

} // namespace

class tst_customicon : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void geometry_data();
    void geometry();
    void failureChangesNothing();
    void getIconPrefersCurrentThumbnail();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_customicon::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath("cache")));
}

void tst_customicon::geometry_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("landscape 1000x500") << QSize(1000, 500) << QRect(0, 32, 128, 64);
    QTest::newRow("300x301 truncates twice") << QSize(300, 301) << QRect(0, 0, 127, 128);
    QTest::newRow("small square grows") << QSize(20, 20) << QRect(0, 0, 128, 128);
    QTest::newRow("portrait 100x300") << QSize(100, 300) << QRect(43, 0, 42, 128);
}

void tst_customicon::geometry()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, placed);
    const QString target = m_dir->filePath("out put.jpg"); // a space: the URI is encoded
    writeFile(target);
    QImage image(picture, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 90));
    QString error;
    QVERIFY2(putCustomIcon(target, image, &error), qPrintable(error));
    QCOMPARE(image.size(), placed.size()); // the caller's picture is the scaled one now

    const QString uri = QUrl::fromLocalFile(target).toString(QUrl::FullyEncoded);
    QVERIFY(uri.contains("out%20put.jpg"));
    const QString expectedPath = m_dir->filePath("cache/thumbnails/normal/") +
        QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex() + ".png";
    QCOMPARE(thumbnailPath(target), expectedPath);
    QVERIFY(QFile::exists(expectedPath));

    // The independent decoder sees a 128x128 PNG with alpha and the two texts.
    QCOMPARE(identify("%m %wx%h %A", expectedPath), QStringLiteral("PNG 128x128 True"));
    QCOMPARE(identify("%[Thumb::URI]", expectedPath), uri);
    QCOMPARE(identify("%[Thumb::MTime]", expectedPath),
             QString::number(QFileInfo(target).lastModified().toSecsSinceEpoch()));

    const QImage icon(expectedPath);
    QCOMPARE(icon.size(), QSize(128, 128));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (placed.contains(x, y))
                QVERIFY2(qAlpha(pixel) == 255 && qAbs(qRed(pixel) - 200) <= 1,
                         qPrintable(QStringLiteral("inside at %1,%2").arg(x).arg(y)));
            else
                QVERIFY2(qAlpha(pixel) == 0, qPrintable(QStringLiteral("outside at %1,%2").arg(x).arg(y)));
        }
}

void tst_customicon::failureChangesNothing()
{
    QString error;
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    // No such target.
    QVERIFY(!putCustomIcon(m_dir->filePath("missing.jpg"), image, &error));
    QVERIFY(error.contains("missing.jpg"));
    QCOMPARE(image.size(), QSize(10, 10));
    // The cache cannot hold folders: a plain file stands where it should be.
    const QString target = m_dir->filePath("a.jpg");
    writeFile(target);
    writeFile(m_dir->filePath("cache"));
    QVERIFY(!putCustomIcon(target, image, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFileInfo(m_dir->filePath("cache")).size(), qint64(6));
    // A picture too thin to scale gives no icon, and no file.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath("cache2")));
    QImage thin(1000, 1, QImage::Format_RGB32);
    thin.fill(Qt::blue);
    QVERIFY(!putCustomIcon(target, thin, &error));
    QVERIFY(!QFileInfo::exists(m_dir->filePath("cache2/thumbnails/normal")) ||
            QDir(m_dir->filePath("cache2/thumbnails/normal")).isEmpty());
}

void tst_customicon::getIconPrefersCurrentThumbnail()
{
    const QString target = m_dir->filePath("b.png");
    writeFile(target);
    // Without a thumbnail there is still an icon: the theme's, or the generic document.
    const QImage fallback = getIcon(target);
    QVERIFY(!fallback.isNull());
    QVERIFY(fallback.width() <= 16 && fallback.height() <= 16);

    QImage image(1000, 500, QImage::Format_RGB32);
    image.fill(qRgb(0, 200, 0));
    QString error;
    QVERIFY2(putCustomIcon(target, image, &error), qPrintable(error));
    const QImage small = getIcon(target);
    QCOMPARE(small.size(), QSize(16, 16));
    const QRgb middle = small.pixel(8, 8);
    QVERIFY(qGreen(middle) > 150 && qRed(middle) < 50);
    QCOMPARE(qAlpha(small.pixel(8, 0)), 0); // the transparent band above the picture

    // A thumbnail of an older version of the file no longer counts.
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    file.close();
    const QImage stale = getIcon(target);
    QVERIFY(!stale.isNull());
    QVERIFY(stale != small);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // icon themes need a GUI application
    tst_customicon test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_customicon.moc"
