#pragma once
// The program's start-up between the creation of the application object and
// the main window: meta types, current folder, text codec, settings, language
// table, style and fonts. The decisions it takes are plain functions so that
// they can be checked without starting the program.

#include <QFont>
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

// Steps after the application object exists and before the main window:
// registers the meta types, makes the program's folder the current one, reads
// text files as UTF-8, loads the settings and the language file they name,
// applies the style and the fonts, and fills in the unset second font.
// Nothing here stops the start-up or shows a message.
void startUp();
