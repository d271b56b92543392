// Keeps the dependency rules between the libraries: the settings, ftp and engine libraries
// never include widgets, settings and ftp never include the engine or a codec library, and
// only engine/imageservices includes the codec libraries' headers.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

class tst_Layering : public QObject
{
    Q_OBJECT

private slots:
    void includes_data();
    void includes();
};

void tst_Layering::includes_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("forbidden");
    const QString widgets = QStringLiteral(R"(^\s*#\s*include\s*[<"](QtWidgets|QWidget|QDialog|QMainWindow|QApplication|QMessageBox|QPushButton|QLabel|QMenu|ui/))");
    const QString codecs = QStringLiteral(R"(^\s*#\s*include\s*[<"](OpenImageIO/|exiv2/|libraw/|lcms2|turbojpeg))");
    QTest::newRow("settings has no widgets") << "settings" << widgets;
    QTest::newRow("ftp has no widgets") << "ftp" << widgets;
    QTest::newRow("engine has no widgets") << "engine" << widgets;
    QTest::newRow("settings has no codecs") << "settings" << codecs;
    QTest::newRow("settings does not use the engine")
        << "settings" << QStringLiteral(R"(^\s*#\s*include\s*"(engine|ftp|cli|app)/)");
    QTest::newRow("ftp does not use the engine")
        << "ftp" << QStringLiteral(R"(^\s*#\s*include\s*"(engine|settings|cli|app)/)");
    QTest::newRow("engine does not use windows or programs")
        << "engine" << QStringLiteral(R"(^\s*#\s*include\s*"(ui|cli|app)/)");
    QTest::newRow("cli has no widgets") << "cli" << widgets;
    QTest::newRow("ui controls know nothing of ours")
        << "ui/controls" << QStringLiteral(R"(^\s*#\s*include\s*"(engine|settings|ftp|ui/main|ui/windows|app)/)");
    for (const char* folder : {"engine/job", "engine/pipeline", "engine/steps", "engine/preview",
                               "engine/codecs", "engine/labels", "engine/icons", "ftp", "cli",
                               "ui", "app"})
        QTest::newRow(qPrintable(QStringLiteral("%1 has no codec library").arg(folder)))
            << folder << codecs;
}

void tst_Layering::includes()
{
    QFETCH(QString, folder);
    QFETCH(QString, forbidden);
    const QRegularExpression pattern(forbidden, QRegularExpression::MultilineOption);
    QDirIterator it(QStringLiteral(QUILLON_SOURCE_DIR "/") + folder,
                    {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QStringList offenders;
    while (it.hasNext()) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const auto match = pattern.match(text);
        if (match.hasMatch())
            offenders << file.fileName() + QStringLiteral(": ") + match.captured(0).trimmed();
    }
    QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(tst_Layering)
#include "tst_layering.moc"
