// The main window's runs: Start Process hands the start dialog's request to the progress
// window's batch job, and Preview renders one file with the current settings into a preview
// window.

#include "engine/imageservices/picturefile.h"
#include "engine/imageservices/rawimage.h"
#include "ui/main/mainwindow.h"
#include "ui/windows/previewwindow.h"
#include "ui/windows/progwindow.h"
#include "ui/windows/startwindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace quillon::ui {

bool mainWindow::running() const
{
    return !m_progress.isNull();
}

void mainWindow::startProcess(const StartRequest& request)
{
    if (m_progress)
        return;
    auto* window = new progWindow(this);
    window->setObjectName(QStringLiteral("progWindow"));
    m_progress = window;
    connect(window, &progWindow::runFinished, this, [this, window] {
        m_progress = nullptr;
        window->deleteLater();
    });
    window->show();
    // The scan runs here; the images are then processed on the job's own thread.
    if (!window->startRun(m_sourceFiles, request, &m_store)) {
        m_progress = nullptr;
        window->deleteLater();
    }
}

void mainWindow::FilePreview_Action()
{
    auto* dialog = new QFileDialog(
        this, QStringLiteral("Please select a file to preview with the current settings."));
    dialog->setObjectName(QStringLiteral("previewChooser"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &mainWindow::previewFile);
    dialog->open();
}

previewWindow* mainWindow::previewFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() ||
        (!engine::IsPictureFileMBS(path) && !engine::isRawImage(info.fileName()))) {
        cautionBox(QStringLiteral("This is not a valid picture file."),
                   QStringLiteral("Please choose another one."));
        return nullptr;
    }
    storeCurrent();
    QString name;
    QString error;
    QImage picture;
    {
        progWindow progress(this);
        progress.setObjectName(QStringLiteral("progWindow"));
        progress.setInfoText(QStringLiteral("Making preview ..."));
        progress.show();
        // Long enough for the window to draw before the rendering holds this thread.
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        progress.job().setCurrentSteps(&m_store);
        picture = progress.job().preview(info.absoluteFilePath(), name, &error);
        progress.hide();
    }
    if (picture.isNull()) {
        // Nothing to show: say why rather than leave the user waiting for a window.
        cautionBox(QStringLiteral("The preview could not be made."), error);
        return nullptr;
    }
    auto* window = new previewWindow;
    window->setObjectName(QStringLiteral("previewWindow"));
    // A preview left open does not keep the program running once the main window closes.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setWindowTitle(QStringLiteral("Preview: ") + name);
    window->setPicture(picture);
    window->reAdjustSize();
    window->show();
    return window;
}

} // namespace quillon::ui
