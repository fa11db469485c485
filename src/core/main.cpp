#include "core/platform.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"

#include <QApplication>
#include <QString>

int main(int argc, char *argv[])
{
    // Plug-ins are looked up before the application object exists.
    const QString programDir = platform::programDirFromArgument(
        argc > 0 ? QString::fromLocal8Bit(argv[0]) : QString());
    QCoreApplication::setLibraryPaths(
        platform::pluginPaths(programDir, QCoreApplication::libraryPaths()));

    QApplication app(argc, argv);
    startUp();

    int result = 0;
    {
        // The window goes before the application object; its destructor
        // saves what the settings ask to be saved.
        TMainWindow window;
        window.show();
        result = app.exec();
    }
    return result;
}
