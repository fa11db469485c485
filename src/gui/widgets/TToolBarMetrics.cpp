#include "gui/widgets/TToolBarMetrics.h"

TToolBarMetrics toolBarMetrics(int iconSet)
{
    if (iconSet == 0)
        return {37, 30, 30, 45, 60, 16, 16, 28};
    return {50, 45, 45, 45, 60, 32, 32, 46};
}

QIcon iconFor(int iconSet, const QString &name)
{
    return QIcon(QStringLiteral(":/images/%1/%2.png").arg(iconSet).arg(name));
}
