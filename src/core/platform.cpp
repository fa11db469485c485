#include "core/platform.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

namespace platform {

QString programDirFromArgument(const QString &argument0)
{
    const int pos = qMax(argument0.lastIndexOf(QLatin1Char('\\')),
                         argument0.lastIndexOf(QLatin1Char('/')));
    return pos < 0 ? argument0 : argument0.left(pos);
}

QStringList pluginPaths(const QString &programDir, const QStringList &qtPaths)
{
    QStringList paths = qtPaths;
    const QString own = programDir + QStringLiteral("/platforms");
    if (QFileInfo(own).isDir() && !paths.contains(own))
        paths.prepend(own);
    return paths;
}

QString fromStoredPath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace platform

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {
std::function<void(const QString &)> &showFolderHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}
} // namespace

void setShowFolderHook(std::function<void(const QString &)> hook)
{
    showFolderHook() = std::move(hook);
}

void showFolder(const QString &dirPath)
{
    if (showFolderHook()) {
        showFolderHook()(dirPath);
        return;
    }
    const QString explorer = QStandardPaths::findExecutable(QStringLiteral("explorer.exe"));
    if (!explorer.isEmpty()) {
        QProcess::startDetached(explorer, {QDir::toNativeSeparators(dirPath)});
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(dirPath));
}

} // namespace platform
