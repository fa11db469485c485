#include "gui/widgets/TToolBarMetrics.h"

#include <QCoreApplication>
#include <QHash>

TToolBarMetrics toolBarMetrics(int iconSet)
{
    if (iconSet == 0)
        return {37, 30, 30, 45, 60, 16, 16, 28};
    return {50, 45, 45, 45, 60, 32, 32, 46};
}

QIcon iconFor(int iconSet, const QString &name)
{
    // Each image is decoded once and shared by every button and form that
    // shows it: a QIcon made anew would decode it again into a pixmap-cache
    // entry of its own. The icons go before the application object does.
    static QHash<QString, QIcon> *icons = nullptr;
    if (!icons) {
        icons = new QHash<QString, QIcon>;
        qAddPostRoutine([] {
            delete icons;
            icons = nullptr;
        });
    }
    const QString path = QStringLiteral(":/images/%1/%2.png").arg(iconSet).arg(name);
    auto it = icons->find(path);
    if (it == icons->end())
        it = icons->insert(path, QIcon(path));
    return it.value();
}
