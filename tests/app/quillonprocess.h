#pragma once

// Starts the real quillon program with the offscreen platform in a home of its own, and reads
// what it logs about itself.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A home folder with its XDG folders; the runtime folder is private, as the session gives it.
class QuillonHome
{
public:
    QuillonHome()
    {
        QDir().mkpath(path(QStringLiteral("run")));
        QFile::setPermissions(path(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path(const QString& name = {}) const
    {
        return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral(".cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quillon.app.info=true"));
        return env;
    }

private:
    QTemporaryDir m_dir;
};

class QuillonProcess
{
public:
    explicit QuillonProcess(const QuillonHome& home, const QString& workingDirectory = {})
    {
        m_process.setProcessEnvironment(home.environment());
        if (!workingDirectory.isEmpty())
            m_process.setWorkingDirectory(workingDirectory);
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_log += QString::fromUtf8(m_process.readAllStandardError()); });
    }
    ~QuillonProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void start(const QStringList& arguments)
    {
        m_process.start(QStringLiteral(QUILLON_APP), arguments);
    }
    QProcess& process() { return m_process; }
    // Everything the program logged so far (the event loop must run to collect it).
    QString log() const { return m_log; }
    // The last source list the program logged.
    QStringList sources() const
    {
        const qsizetype at = m_log.lastIndexOf(QLatin1String("sources: "));
        if (at < 0)
            return {};
        const QString line = m_log.mid(at + 9).section(QLatin1Char('\n'), 0, 0);
        return line.isEmpty() ? QStringList{} : line.split(QLatin1Char('|'));
    }

private:
    QProcess m_process;
    QString m_log;
};
