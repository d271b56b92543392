#pragma once

// The end-to-end runs of quillon-cli: a program run to its end, and settings files made by the
// independent writer of the format (tests/data/engine/job_settings.py, Python's struct module).

#include <QProcess>
#include <QString>
#include <QStringList>

namespace clitest {

inline const QString kCorpus = QStringLiteral(QUILLON_CORPUS);
inline const QString kWriter = QStringLiteral(QUILLON_TESTDATA "/engine/job_settings.py");

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline Result runProgram(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    Result result;
    if (!process.waitForFinished(120000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

inline bool writeSettings(const QString& file, const QStringList& records)
{
    return runProgram(QStringLiteral("/usr/bin/python3"), QStringList{kWriter, file} + records)
               .exitCode == 0;
}

} // namespace clitest
