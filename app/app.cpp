#include "app/app.h"

#include "resources/resources.h"
#include "ui/main/label.h"
#include "ui/main/mainwindow.h"
#include "ui/windows/sourcewindow.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QUrl>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcApp, "quillon.app", QtWarningMsg)

namespace quillon::app {

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

bool isBundleName(const QString& path)
{
    return QFileInfo(path).fileName().right(4).compare(QLatin1String(".app"),
                                                       Qt::CaseInsensitive) == 0;
}

} // namespace

App::App(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillon"));
    setApplicationVersion(QStringLiteral("1.0"));
    resources::init();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512})
        icon.addFile(QStringLiteral(":/icons/quillon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    connect(this, &QCoreApplication::aboutToQuit, this, &App::writePrefs);
}

App::~App() = default;

QStringList App::launchDocuments() const
{
    QStringList documents;
    const QStringList args = arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString path = args.at(i);
        if (path.startsWith(QLatin1String("file:")))
            path = QUrl(path).toLocalFile();
        if (path.isEmpty())
            continue;
        documents.append(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    }
    return documents;
}

void App::Open()
{
    ui::label::loadImages();
    readPrefs();
    m_window = std::make_unique<ui::mainWindow>();
    m_window->setPreferences(&m_prefs);
    m_window->loadFavorites();
    // Without a default favorite the window keeps the one Format setting it starts with.
    if (m_window->loadDefault())
        qCInfo(lcApp).noquote() << "default favorite:" << m_prefs.prefDefault;
    m_window->show();
    qCInfo(lcApp) << "started";
}

void App::readPrefs()
{
    const settings::PreferencesReadResult result = settings::readPrefs(m_prefs);
    if (result.status == settings::PreferencesReadResult::Status::Damaged)
        qCWarning(lcApp).noquote() << result.error;
}

void App::writePrefs()
{
    QString error;
    if (!settings::writePrefs(m_prefs, settings::preferencesFilePath(), &error))
        qCWarning(lcApp).noquote() << error;
    else
        qCInfo(lcApp) << "preferences written";
}

bool App::sourceWinOpen() const
{
    return m_window && m_window->openSourceWindow() != nullptr;
}

void App::NewDocument()
{
    m_started = true;
}

void App::OpenDocument(const QString& path)
{
    if (!isBundleName(path)) {
        // A duplicate is dropped without a message: the user opened the file again, nothing
        // is wrong.
        if (ui::sourceWindow* sources = m_window->openSourceWindow())
            sources->addItem(path);
        else
            m_window->addSourceFiles({path});
    }
    if (!m_started) {
        m_window->storeCurrent();
        showStartDialog();
        m_started = true;
    }
}

void App::openDocuments(const QStringList& paths)
{
    // The main window comes forward first, so that a start dialog the documents open is in
    // front of it and not raised over.
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
    }
    if (paths.isEmpty()) {
        NewDocument();
    } else {
        for (const QString& path : paths)
            OpenDocument(path);
    }
    if (m_window)
        qCInfo(lcApp).noquote() << "sources:" << m_window->sourceFiles().join(QLatin1Char('|'));
}

void App::showStartDialog()
{
    m_window->showStartWindow();
    qCInfo(lcApp) << "start dialog";
}

void App::quitOnTerminationSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[1], &byte, 1);
        if (m_window)
            m_window->close();
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}

} // namespace quillon::app
