#pragma once
// The program's start-up between the creation of the application object and
// the main window: meta types, current folder, text codec, settings, language
// table, style and fonts. The decisions it takes are plain functions so that
// they can be checked without starting the program.

#include <QFont>
#include <QLocale>
#include <QString>
#include <QStringList>

// Registers "TData", "TCodeView" and "TCodeExec", the types that travel
// through queued connections between the execution workers and the GUI.
void registerMetaTypes();

// The style to apply: the wanted name when the platform offers exactly that
// name (case-sensitive), else the first offered one; the wanted name stays
// when nothing is offered.
QString chooseStyle(const QString &wanted, const QStringList &offered);

// The application font: the current font with the family replaced when one is
// given and the point size replaced when it is above 0 (0 means "not set"; a
// negative size is not a size and is ignored as well).
QFont applicationFont(const QFont &current, const QString &family, int pointSize);

// The font of the command list and the execution log: an empty family and a
// size of 0 (or below) are each taken from the application font; what is set
// stays.
void fillMonoFont(QString &family, int &pointSize, const QFont &appFont);

// The locale of a language file, for Qt's own texts: the language whose
// English name is the file's second label (message 1, "Russian") or its
// name (message 0), else the one whose own name is one of them ("Русский"),
// else the locale the file's base name is the name of ("ru.lng",
// "de_DE.lng"); the C locale when none fits.
QLocale languageLocale(const QString &fileName, const QString &name, const QString &label);

// Replaces Qt's own translations (its dialogs and standard buttons) by
// those of the locale from the folder (Qt's translations folder when
// empty); true when a translation was found and installed. A missing file
// is no error: Qt then speaks English.
bool installQtTranslations(const QLocale &locale, const QString &folder = QString());

// Steps after the application object exists and before the main window:
// registers the meta types, makes the program's folder the current one, reads
// text files as UTF-8, removes what saves of the settings cut short left
// beside them (TSaveFile), loads the settings and the language file they name
// with Qt's own translations for that language, applies the style and the
// fonts, and fills in the unset second font. Writes past a file-size limit
// fail as writes rather than ending the program.
// Nothing here stops the start-up or shows a message.
void startUp();
