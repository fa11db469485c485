#include "core/platform.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    const QString programDir = platform::programDirFromArgument(
        argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString());
    QCoreApplication::setLibraryPaths(
        platform::pluginPaths(programDir, QCoreApplication::libraryPaths()));
    QApplication app(argc, argv);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Velkor"));
    window.show();
    return app.exec();
}
