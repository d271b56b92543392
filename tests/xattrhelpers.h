#pragma once

// Colour-label tests set and read `user.xdg.tags` with setfattr and getfattr (package attr),
// which stand outside Quillon's own code.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace xattrtest {

inline bool runAttr(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    return true;
}

inline bool setTags(const QString& path, const QByteArray& value)
{
    return runAttr(QStringLiteral("setfattr"),
                   {QStringLiteral("-n"), QStringLiteral("user.xdg.tags"), QStringLiteral("-v"),
                    QString::fromUtf8(value), path});
}

// The attribute's value, or a null array when it is absent.
inline QByteArray tagsOf(const QString& path)
{
    QByteArray out;
    if (!runAttr(QStringLiteral("getfattr"), {QStringLiteral("--only-values"), QStringLiteral("-n"),
                                              QStringLiteral("user.xdg.tags"), path},
                 &out))
        return QByteArray();
    return out;
}

inline void writeFile(const QString& path, const QByteArray& data = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace xattrtest
