// quillon-cli run: runs a batch the way the start dialog does, with progress on stderr and a
// summary at the end.

#include "cli/commands.h"
#include "engine/job/batchtread.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <unistd.h>

namespace quillon::cli {

namespace {

constexpr int kBarWidth = 30;

const char kRunUsage[] =
    "Usage: quillon-cli run (--settings FILE | --favorite NAME) (--dest DIR | --same-as-original)\n"
    "                       [--depth N] [--jobs J] SOURCE...\n"
    "  N is the folder depth: -1 every level (the default), 0 only the chosen folders,\n"
    "  n that many levels of subfolders.\n"
    "  J is the number of images worked on at once: one per processor core by default\n"
    "  (or the QUILLON_WORKERS environment variable's number); 1 works one at a time.\n";

// Prints the job's events on stderr: a bar on a terminal, one line per image otherwise.
// Called on the job's thread; the main thread only waits meanwhile.
class ProgressPrinter : public engine::JobListener
{
public:
    ProgressPrinter() : m_err(stderr), m_terminal(::isatty(STDERR_FILENO) == 1) {}

    void Started(int count) override
    {
        m_err << "Collected " << count << (count == 1 ? " image\n" : " images\n");
        m_err.flush();
    }
    bool Progress(const QString& name, int current, int total) override
    {
        if (m_terminal) {
            const int filled = total > 0 ? current * kBarWidth / total : 0;
            m_err << "\r[" << QString(filled, QLatin1Char('#'))
                  << QString(kBarWidth - filled, QLatin1Char(' ')) << "] " << current + 1 << '/'
                  << total << ' ' << name << "\x1b[K";
        } else {
            m_err << current + 1 << '/' << total << ' ' << name << '\n';
        }
        m_err.flush();
        return false;
    }
    void Scanning(const QString& name) override
    {
        if (m_terminal) {
            m_err << "\rScanning " << name << "\x1b[K";
            m_err.flush();
        }
    }
    void Connecting(const QString& server) override
    {
        m_err << (m_terminal ? "\r" : "") << "Connecting to: " << server << " ..."
              << (m_terminal ? "\x1b[K" : "\n");
        m_err.flush();
    }
    void Finished(bool stopped) override
    {
        if (m_terminal)
            m_err << "\r\x1b[K";
        m_err.flush();
    }

private:
    QTextStream m_err;
    bool m_terminal;
};

// The favorite of that name in the favorites folder, without regard to letter case.
QString findFavorite(const QString& name)
{
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                      QStringLiteral("/favorites"));
    const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().compare(name, Qt::CaseInsensitive) == 0)
            return entry.absoluteFilePath();
    }
    return {};
}

void printProblems(QTextStream& out, const char* what, const QList<engine::FileProblem>& list)
{
    for (const auto& problem : list)
        out << what << ": " << QDir::toNativeSeparators(problem.file) << ": " << problem.reason
            << '\n';
}

} // namespace

int runRun(const QStringList& args)
{
    QTextStream err(stderr);
    QString settingsFile, favorite, destination;
    bool sameAsOriginal = false;
    int depth = -1;
    int jobs = 0;
    QStringList sources;
    auto usage = [&err](const QString& problem) {
        err << "quillon-cli run: " << problem << '\n' << kRunUsage;
        return 2;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (arg == QLatin1String("--settings")) {
            if (!value(settingsFile))
                return usage(QStringLiteral("--settings needs a file"));
        } else if (arg == QLatin1String("--favorite")) {
            if (!value(favorite))
                return usage(QStringLiteral("--favorite needs a name"));
        } else if (arg == QLatin1String("--dest")) {
            if (!value(destination))
                return usage(QStringLiteral("--dest needs a folder"));
        } else if (arg == QLatin1String("--same-as-original")) {
            sameAsOriginal = true;
        } else if (arg == QLatin1String("--depth")) {
            QString text;
            bool ok = false;
            if (value(text))
                depth = text.toInt(&ok);
            if (!ok || depth < -1)
                return usage(QStringLiteral("--depth needs a number, -1 or more"));
        } else if (arg == QLatin1String("--jobs") || arg == QLatin1String("-j")) {
            QString text;
            bool ok = false;
            if (value(text))
                jobs = text.toInt(&ok);
            if (!ok || jobs < 1 || jobs > engine::kMaxWorkers)
                return usage(QStringLiteral("--jobs needs a number from 1 to %1")
                                 .arg(engine::kMaxWorkers));
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            QTextStream(stdout) << kRunUsage;
            return 0;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        } else {
            sources << QFileInfo(arg).absoluteFilePath();
        }
    }
    if (settingsFile.isEmpty() == favorite.isEmpty())
        return usage(QStringLiteral("give either --settings or --favorite"));
    if (destination.isEmpty() == !sameAsOriginal)
        return usage(QStringLiteral("give either --dest or --same-as-original"));
    if (sources.isEmpty())
        return usage(QStringLiteral("no sources given"));
    if (!favorite.isEmpty()) {
        settingsFile = findFavorite(favorite);
        if (settingsFile.isEmpty()) {
            err << "quillon-cli run: no favorite named \"" << favorite << "\"\n";
            return 2;
        }
    }

    settings::SettingsStore steps;
    const settings::SettingsStore::ReadResult read = steps.readFile(settingsFile);
    if (!read.ok()) {
        err << "quillon-cli run: " << read.error << '\n';
        return 2;
    }

    ProgressPrinter printer;
    engine::batchTread job(&printer);
    job.setCurrentSteps(&steps);
    job.setWorkerCount(jobs);
    job.startProcess(sources,
                     sameAsOriginal ? QString() : QFileInfo(destination).absoluteFilePath(), depth,
                     QString(), sameAsOriginal);
    job.wait();

    const engine::RunReport& report = job.report();
    QTextStream out(stdout);
    out << "Written: " << report.written.size() << '\n';
    if (!report.uploaded.isEmpty() || !report.uploadsFailed.isEmpty())
        out << "Uploaded: " << report.uploaded.size() << '\n';
    out << "Not saved: " << report.notSaved.size() << '\n';
    out << "Could not be opened: " << report.notOpened.size() << '\n';
    for (const QString& file : report.written)
        out << "written: " << QDir::toNativeSeparators(file) << '\n';
    for (const QString& file : report.uploaded)
        out << "uploaded: " << QDir::toNativeSeparators(file) << '\n';
    printProblems(out, "not saved", report.notSaved);
    printProblems(out, "could not be opened", report.notOpened);
    printProblems(out, "upload failed", report.uploadsFailed);
    printProblems(out, "login failed", report.loginsFailed);
    printProblems(out, "warning", report.warnings);
    out.flush();
    if (job.someNotSaved())
        err << engine::notSavedTitle() << "\n\n" << engine::notSavedText() << '\n';
    return report.allWritten() ? 0 : 1;
}

} // namespace quillon::cli
