// Quillon: the desktop program. Opens the main window with one Format setting.

#include "ui/main/label.h"
#include "ui/main/mainwindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    quillon::ui::label::loadImages();
    quillon::ui::mainWindow window;
    window.show();
    return app.exec();
}
