// Starts a watched program and quits at once, as Exit after an expiry does.
#include "platform/QtProgramLauncher.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    dormivo::QtProgramLauncher launcher;
    if (!launcher.startWatched(QString::fromLocal8Bit(argv[1]), {},
                               [](const QString&) { std::puts("reported"); }))
        return 1;
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
