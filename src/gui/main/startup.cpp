#include "gui/main/startup.h"

#include "core/TAppData.h"
#include "core/TCodeView.h"
#include "core/TData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "devices/TCodeExec.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QMetaType>
#include <QTextCodec>

void registerMetaTypes()
{
    qRegisterMetaType<TData>("TData");
    qRegisterMetaType<TCodeView>("TCodeView");
    qRegisterMetaType<TCodeExec>("TCodeExec");
}

QString chooseStyle(const QString &wanted, const QStringList &offered)
{
    if (offered.isEmpty() || offered.contains(wanted, Qt::CaseSensitive))
        return wanted;
    return offered.first();
}

QFont applicationFont(const QFont &current, const QString &family, int pointSize)
{
    QFont font = current;
    if (!family.isEmpty())
        font.setFamily(family);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

void fillMonoFont(QString &family, int &pointSize, const QFont &appFont)
{
    if (family.isEmpty())
        family = appFont.family();
    if (pointSize <= 0) {
        // A font sized in pixels has no point size of its own; the size it
        // is drawn at has one.
        pointSize = appFont.pointSize() > 0 ? appFont.pointSize() : QFontInfo(appFont).pointSize();
    }
}

void startUp()
{
    registerMetaTypes();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (QTextCodec *codec = QTextCodec::codecForName(CODEC_NAME))
        QTextCodec::setCodecForLocale(codec);

    appData.load();
    lang.load(makeAbsolutePath(appData.pathLanguage, appData.language));

    appData.style = chooseStyle(appData.style, styleKeys());
    applyStyle(appData.style);

    QApplication::setFont(applicationFont(QApplication::font(), appData.fontAppName, appData.fontAppSize));
    fillMonoFont(appData.fontMonoName, appData.fontMonoSize, QApplication::font());
}
