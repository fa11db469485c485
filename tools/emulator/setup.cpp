// velkor-setup: makes the emulated programmer a programmer of a Velkor
// program folder, and on the first start there installs the demo project
// list. It loads the folder's settings with the program's own settings code,
// changes what it must and writes back only that; everything else the user
// set (other programmers and types, the default programmer, lists, windows)
// stays as it was, and with nothing to change the file is not written.
//
//   velkor-setup --dir <program folder> --port <path> [--demo <folder>]
//
// The programmer "Emulator" gets the port; when it is missing it is added
// with the programmer type whose description is emulator.ini (added as well
// when no type has that file). With --demo, a folder whose settings name no
// project list yet gets the demo folder copied into its projects folder
// (files already there are kept), the demo list as its project list and a
// row for it in the catalogue of project lists.

#include "core/TAppData.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "gui/dialogs/TDialogSelectPrjList.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const QString DEMO_LIST_NAME = QStringLiteral("Emulator demo");
const QString DEMO_FOLDER = QStringLiteral("demo");
const QString DEMO_LIST_FILE = QStringLiteral("demo.lst");

void say(const QString &text)
{
    std::fprintf(stderr, "velkor-setup: %s\n", qPrintable(text));
}

// The type whose description is typeFile, added under a free name when no
// type has that file.
QString emulatorType(const QString &name, const QString &typeFile)
{
    const QString progs = appData.folder(&TAppData::pathProgs);
    const QString wanted = makeAbsolutePath(progs, typeFile);
    for (int i = 0; i < appData.progType.count(); ++i) {
        const QString type = appData.progType.at(i);
        if (makeAbsolutePath(progs, appData.progType.value(type)) == wanted)
            return type;
    }
    QString type = name;
    for (int n = 2; appData.progType.contains(type); ++n)
        type = QStringLiteral("%1 %2").arg(name).arg(n);
    appData.progType.add(type, typeFile);
    return type;
}

// Sets the port of the programmer name, or adds the name.
void registerProgrammer(const QString &name, const QString &port, const QString &typeFile)
{
    TProgName names;
    bool found = false;
    for (const QString &n : appData.progName.names()) {
        TProgNameItem item = appData.progName.find(n);
        if (n == name) {
            item.port = port;
            found = true;
        }
        names.add(item.mark, n, item.port, item.type);
    }
    if (!found)
        names.add(true, name, port, emulatorType(name, typeFile));
    appData.progName.replace(names);
}

// Copies the files of from into to, keeping every file that is already there.
bool copyMissing(const QString &from, const QString &to)
{
    bool ok = true;
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(file));
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).path()) || !copyWholeFile(file, target)) {
            say(QStringLiteral("cannot copy %1 to %2").arg(file, target));
            ok = false;
        }
    }
    return ok;
}

// Adds the demo list to the catalogue of project lists unless a row names
// it; a catalogue that cannot be read is left alone.
bool addCatalogueRow(const QString &catalogue, const QString &listFile)
{
    QVector<TCatalogueRow> rows;
    if (QFileInfo::exists(catalogue)) {
        QFile f(catalogue);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text) || !parseCatalogue(f.readAll(), &rows)) {
            say(QStringLiteral("%1 is not a catalogue of project lists; left as it is").arg(catalogue));
            return true;
        }
    }
    for (const TCatalogueRow &row : rows) {
        if (row.second == listFile)
            return true;
    }
    rows.append({DEMO_LIST_NAME, listFile});
    QString error;
    if (!writeWholeFile(catalogue, catalogueText(rows), &error)) {
        say(error);
        return false;
    }
    return true;
}

bool installDemo(const QString &programDir, const QString &demo)
{
    if (!appData.prjListFile.isEmpty())
        return true;
    if (!QFileInfo::exists(QDir(demo).filePath(DEMO_LIST_FILE))) {
        say(QStringLiteral("no demo list in %1").arg(demo));
        return false;
    }
    const QString projects = makeAbsolutePath(programDir, appData.pathProjects);
    if (!copyMissing(demo, QDir(projects).filePath(DEMO_FOLDER)))
        return false;
    const QString listFile = DEMO_FOLDER + QLatin1Char('/') + DEMO_LIST_FILE;
    if (!addCatalogueRow(makeAbsolutePath(programDir, appData.selectPrjListFile), listFile))
        return false;
    appData.prjListName = DEMO_LIST_NAME;
    appData.prjListFile = listFile;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    platform::ignoreFileSizeSignal();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velkor-setup"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes the emulated programmer a programmer of a Velkor program folder."));
    parser.addHelpOption();
    const QCommandLineOption dir(QStringLiteral("dir"), QStringLiteral("The program folder (default: this one's)."),
                                 QStringLiteral("folder"), QCoreApplication::applicationDirPath());
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The emulator's port."),
                                  QStringLiteral("path"));
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("The programmer's name (default Emulator)."),
                                  QStringLiteral("name"), QStringLiteral("Emulator"));
    const QCommandLineOption typeFile(QStringLiteral("type-file"),
                                      QStringLiteral("Its description in the programmers folder (default emulator.ini)."),
                                      QStringLiteral("file"), QStringLiteral("emulator.ini"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Install the demo list of <folder> when no project list is set."),
                                  QStringLiteral("folder"));
    parser.addOptions({dir, port, name, typeFile, demo});
    parser.process(app);
    if (!parser.isSet(port) || parser.value(port).isEmpty()) {
        say(QStringLiteral("--port is missing"));
        return 2;
    }

    const QString programDir = QDir(parser.value(dir)).absolutePath();
    if (!QFileInfo(programDir).isDir()) {
        say(QStringLiteral("no folder %1").arg(programDir));
        return 2;
    }
    // The program's settings file and the folders they name, as the program
    // itself finds them from its own folder.
    setAppFileLocation(programDir);
    QDir::setCurrent(programDir);
    appData.load();
    registerProgrammer(parser.value(name), parser.value(port), parser.value(typeFile));
    const bool demoOk = !parser.isSet(demo) || installDemo(programDir, parser.value(demo));
    QString error;
    if (!appData.save(&error)) {
        say(QStringLiteral("cannot write the settings: %1").arg(error));
        return 1;
    }
    return demoOk ? 0 : 1;
}
