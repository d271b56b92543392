#pragma once

#include "settings/preferences.h"

#include <QApplication>
#include <QString>
#include <QStringList>
#include <memory>

namespace quillon::ui {
class mainWindow;
}

namespace quillon::app {

// The application object: starts the program, holds the main window and receives the documents
// opened with the application (the launch's arguments, and those a later launch hands over).
// Each document becomes a source of the next batch; the first one after a launch also opens the
// start dialog. Main thread.
class App : public QApplication
{
    Q_OBJECT

public:
    App(int& argc, char** argv);
    ~App() override;

    // The documents of the launch's arguments as absolute paths ("file:" URIs taken as paths).
    QStringList launchDocuments() const;

    // Start-up: the label pictures, readPrefs, the main window with the Favorites menu and the
    // default favorite, shown.
    void Open();
    // The preferences file: read once at start, written once at quit (all or nothing; a
    // location that cannot be written keeps nothing, and says so in the log).
    void readPrefs();
    void writePrefs();
    settings::Preferences& prefs() { return m_prefs; }
    ui::mainWindow* window() const { return m_window.get(); }

    // The launch had no documents.
    void NewDocument();
    // One file or folder opened with the application.
    void OpenDocument(const QString& path);
    // Documents of one launch in order; none is NewDocument.
    void openDocuments(const QStringList& paths);

    bool started() const { return m_started; }
    // True while the source files window is open; documents then go into that window.
    bool sourceWinOpen() const;

    // Quits (as the Quit command does) when the process is asked to terminate (SIGTERM,
    // SIGINT, SIGHUP), so a session ending keeps what quitting keeps.
    void quitOnTerminationSignals();

private:
    void showStartDialog();

    settings::Preferences m_prefs;
    std::unique_ptr<ui::mainWindow> m_window;
    bool m_started = false;
};

} // namespace quillon::app
