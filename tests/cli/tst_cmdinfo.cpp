// quillon-cli info: what it prints for pictures, and its exit status when one cannot open.

#include <QProcess>
#include <QTest>

class tst_CmdInfo : public QObject
{
    Q_OBJECT

private slots:
    void info_data();
    void info();
};

void tst_CmdInfo::info_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("rotated photo with Exif")
        << QStringList{QStringLiteral(QUILLON_CORPUS "/photos-exif/canon_sx60hs_orient6.jpg")} << 0
        << QStringList{QStringLiteral("  format: jpeg"), QStringLiteral("  size: 1536 x 2048"),
                       QStringLiteral("  resolution: 180 dpi"), QStringLiteral("  exif: yes")};
    QTest::newRow("profile description")
        << QStringList{QStringLiteral(QUILLON_CORPUS "/icc/adobergb_canon_eos7d.jpg")} << 0
        << QStringList{QStringLiteral("  icc: Adobe RGB (1998)")};
    QTest::newRow("PNG with alpha, no metadata")
        << QStringList{QStringLiteral(QUILLON_CORPUS "/alpha/photo_rgba.png")} << 0
        << QStringList{QStringLiteral("  alpha: yes"), QStringLiteral("  exif: no"),
                       QStringLiteral("  xmp: no"), QStringLiteral("  iptc: no")};
    QTest::newRow("one good, one bomb")
        << QStringList{QStringLiteral(QUILLON_CORPUS "/alpha/photo_rgba.png"),
                       QStringLiteral(QUILLON_CORPUS "/odd/bomb.png")}
        << 1
        << QStringList{QStringLiteral("  size: 500 x 500"),
                       QStringLiteral("  error: Cannot open \"" QUILLON_CORPUS
                                      "/odd/bomb.png\": the picture is too large (46340 x 46340 pixels)")};
    QTest::newRow("missing file") << QStringList{QStringLiteral("/nonexistent/x.jpg")} << 1
                                  << QStringList{};
}

void tst_CmdInfo::info()
{
    QFETCH(QStringList, files);
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    QProcess cli;
    cli.start(QStringLiteral(QUILLON_CLI), QStringList{QStringLiteral("info")} + files);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), status);
    const QStringList out = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines)
        QVERIFY2(out.contains(line), qPrintable(line + QStringLiteral(" not in:\n") + out.join('\n')));
    if (status != 0)
        QVERIFY(!cli.readAllStandardError().isEmpty());
}

QTEST_GUILESS_MAIN(tst_CmdInfo)
#include "tst_cmdinfo.moc"
