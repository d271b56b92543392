// Quillon: the desktop program. One instance per user: a launch while Quillon runs hands its
// documents to the running one and exits.

#include "app/app.h"
#include "app/singleinstance.h"

#include <QTimer>

int main(int argc, char** argv)
{
    quillon::app::App app(argc, argv);
    const QStringList documents = app.launchDocuments();

    quillon::app::SingleInstance instance;
    if (instance.handOver(documents))
        return 0;
    QString error;
    if (!instance.listen(&error))
        qWarning("%s", qPrintable(error));
    QObject::connect(&instance, &quillon::app::SingleInstance::documentsReceived, &app,
                     &quillon::app::App::openDocuments);
    app.quitOnTerminationSignals();

    app.Open();
    // The documents come once the event loop runs, as the desktop delivers them.
    QTimer::singleShot(0, &app, [&app, documents] { app.openDocuments(documents); });
    return app.exec();
}
