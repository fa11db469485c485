#include "gui/main/startup.h"

#include "core/TAppData.h"
#include "core/TCodeView.h"
#include "core/TData.h"
#include "core/TLang.h"
#include "core/TSaveFile.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "devices/TCodeExec.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QMetaType>
#include <QPointer>
#include <QTextCodec>
#include <QTranslator>

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

QLocale languageLocale(const QString &fileName, const QString &name, const QString &label)
{
    // The names of the file, its second label first: by a language's
    // English name, then by its own.
    QStringList names;
    for (const QString &n : {label.trimmed(), name.trimmed()}) {
        if (!n.isEmpty())
            names << n;
    }
    for (const QString &n : qAsConst(names)) {
        for (int l = QLocale::C + 1; l <= QLocale::LastLanguage; ++l) {
            const auto language = QLocale::Language(l);
            if (QLocale::languageToString(language).compare(n, Qt::CaseInsensitive) == 0)
                return QLocale(language);
        }
    }
    for (const QString &n : qAsConst(names)) {
        for (int l = QLocale::C + 1; l <= QLocale::LastLanguage; ++l) {
            const QLocale locale{QLocale::Language(l)};
            if (locale.language() == QLocale::Language(l)
                && locale.nativeLanguageName().compare(n, Qt::CaseInsensitive) == 0)
                return locale;
        }
    }
    // A base name that is a locale's own name, as "ru" or "de_DE".
    const QString base = QFileInfo(fileName).fileName().section(QLatin1Char('.'), 0, 0);
    const QLocale named(base);
    if (!base.isEmpty() && named.language() != QLocale::C
        && (named.name() == base || named.name().section(QLatin1Char('_'), 0, 0) == base))
        return named;
    return QLocale::c();
}

bool installQtTranslations(const QLocale &locale, const QString &folder)
{
    // One translator for the process, replaced when the language changes.
    // It belongs to the application object and goes with it.
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (locale.language() == QLocale::C)
        return false;
    const QString dir = folder.isEmpty() ? QLibraryInfo::location(QLibraryInfo::TranslationsPath) : folder;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), dir)
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

void startUp()
{
    platform::ignoreFileSizeSignal();
    registerMetaTypes();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (QTextCodec *codec = QTextCodec::codecForName(CODEC_NAME))
        QTextCodec::setCodecForLocale(codec);

    // What a save of the settings cut short left beside them goes first.
    TSaveFile::removeLeftovers(settingsFilePath());
    appData.load();
    lang.load(makeAbsolutePath(appData.pathLanguage, appData.language));
    installQtTranslations(languageLocale(appData.language, lang.text(0), lang.text(1)));

    appData.style = chooseStyle(appData.style, styleKeys());
    applyStyle(appData.style);

    QApplication::setFont(applicationFont(QApplication::font(), appData.fontAppName, appData.fontAppSize));
    fillMonoFont(appData.fontMonoName, appData.fontMonoSize, QApplication::font());
}
