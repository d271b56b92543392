// Quillon: the desktop program. Opens the main window with one Format setting.

#include "resources/resources.h"
#include "ui/main/label.h"
#include "ui/main/mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    quillon::resources::init();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512})
        icon.addFile(QStringLiteral(":/icons/quillon-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    quillon::ui::label::loadImages();
    quillon::ui::mainWindow window;
    window.show();
    return app.exec();
}
