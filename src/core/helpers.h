#pragma once
// Free functions shared by the whole program: the parameter getter, the files
// named after the program, path helpers, message boxes, text escapes, the log
// file, window placement, style, colours, table rows and file templates.

#include "core/TData.h"

class TSaveFile;

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QJsonDocument>
#include <QMessageBox>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

class QFileDevice;
class QTableWidget;
class QWidget;

// ---- Parameter getter ------------------------------------------------------

// The value stored under the key, or an invalid variant when the record lacks
// it. A missing key is logged ("Param <source>, <line>: <key> not found")
// when "/Main/Debug" is 1. Each caller passes its own source name and line.
QVariant getParam(const QString &source, int line, const TData &data, const QString &key);
// Tests watch the reads: the hook sees every record and key getParam is
// asked for, from whatever thread asks. Null (the default) watches nothing.
using ParamReadHook = void (*)(const TData &data, const QString &key);
void setParamReadHook(ParamReadHook hook);

// ---- Files named after the program ----------------------------------------

// The program's folder ("/" separators).
QString appDirPath();
// <program folder>/<program base name>.<suffix>
QString appFilePath(const QString &suffix);
QString hotKeyFilePath();
QString settingsFilePath();
QString logFilePath();

// Points the program folder and base name somewhere else (tests keep their
// settings, log and hot-key files in a temporary folder this way). An empty
// folder returns to the program's own folder and name.
void setAppFileLocation(const QString &dir, const QString &baseName = QStringLiteral("velkor"));

// ---- Path helpers ----------------------------------------------------------
// Paths read from files may hold "\" separators; they are taken as "/".

// Absolute form of the path (a relative one resolves against the current
// folder).
QString absoluteFilePath(const QString &path);
// The path unchanged when absolute, else the file of that relative path
// inside the base folder (a relative base resolves against the current one).
QString makeAbsolutePath(const QString &base, const QString &path);
// Absolute folder that holds the file.
QString dirOfFile(const QString &path);
// Empty path: the absolute base folder; relative path: the absolute folder of
// that file inside the base; absolute path: its folder.
QString dirOfPath(const QString &base, const QString &path);
// Everything after the first dot of the file name; empty without a dot.
QString suffixOf(const QString &fileName);
// The path relative to the base folder ("../" where needed); the absolute
// path when no relative form exists.
QString toRelativePath(const QString &base, const QString &path);
QString toAppRelativePath(const QString &path);
// Shows the folder that holds the file in the desktop's file manager.
void showInExplorer(const QString &filePath);

// ---- Message boxes (modal) -------------------------------------------------

void showMessage(const QString &text, QMessageBox::Icon icon, QWidget *parent, const QString &title);
void showInfo(const QString &text, QWidget *parent = nullptr);
void showError(const QString &text, QWidget *parent = nullptr);
// The text with the reason on a line of its own below it; the text alone
// when there is no reason.
QString withReason(const QString &text, const QString &reason);
// Yes (message 76) and No (message 77); true only for Yes. Yes is the
// default button unless defaultYes is false.
bool askYesNo(const QString &text, QWidget *parent = nullptr, bool defaultYes = true);
// Yes, No and Cancel (message 80), Yes the default: for a question whose No
// drops something, so that Escape or closing the box (which give Cancel)
// never does.
enum class TAnswer { Yes, No, Cancel };
TAnswer askYesNoCancel(const QString &text, QWidget *parent = nullptr);

// ---- Text escapes of one-line texts in project files ------------------------

// Line feed -> "|n", then double quote -> "|w".
QString escapeText(const QString &text);
// "|n" -> line feed, then "|w" -> double quote.
QString unescapeText(const QString &text);
// The text as the body of a JSON string (RFC 8259): quotes, backslashes and
// characters below U+0020 escaped; U+FEFF, U+2028, U+2029 and lone
// surrogates escaped too, so that any reader gives the text back.
QString jsonStringText(const QString &text);
// Parses a JSON text into doc; false when it is not valid JSON, with error
// saying where and what the reader expected there: "line L, column C: ..."
// (the character the reader stopped at, lines ended by LF, CR LF or CR,
// columns counted in characters).
bool readJsonText(const QByteArray &text, QJsonDocument *doc, QString *error);

// ---- Log file --------------------------------------------------------------

// Appends "dd.MM.yyyy hh:mm:ss <title> <text>\n" to the log file: the whole
// line or nothing (a line cut short is taken back). False, with the reason in
// error when given, when the log cannot be opened or written; callers that
// have nobody to tell may ignore it.
bool writeLog(const QString &title, const QString &text, QString *error = nullptr);
// The line writeLog() writes for the given moment.
QString logLine(const QDateTime &when, const QString &title, const QString &text);

// ---- Window placement ------------------------------------------------------

// The stored geometry, corrected to fit the primary screen; when centre is
// true, centred on the screen or on the active window.
void centreOnScreen(QWidget *widget, bool centre, int left, int top, int width, int height);
void centreOnActiveWindow(QWidget *widget, bool centre, int left, int top, int width, int height);
// The correction itself: screen is the size of the primary screen, anchor
// the centre to centre on (used only when centre is true).
QRect fitGeometry(const QSize &screen, bool centre, const QPoint &anchor,
                  int left, int top, int width, int height);

// ---- Style and colours -----------------------------------------------------

QStringList styleKeys();
// Applies the style when the platform offers exactly that name.
void applyStyle(const QString &name);
QColor paletteTextColor();
QColor paletteBaseColor();
// Background of an input whose value is invalid.
QColor warningColor();

// ---- Table rows ------------------------------------------------------------

// Moves the current row by delta (-1 up, +1 down) when the target exists.
void moveTableRow(QTableWidget *table, int delta);

// ---- Writing files ------------------------------------------------------------
// The file's errorString() carries the system's reason after a failure. A
// write the system cuts short sets no error of its own; these helpers write
// on until the system names its reason (no space, file too large, ...).

// Writes every byte to the open file; false on the first refused write.
bool writeBytes(QFileDevice &file, const QByteArray &bytes);
// Flushes the file's buffer; false when not every byte reached the file.
bool flushBytes(QFileDevice &file);

// ---- File templates and raw writes -----------------------------------------
// Each writes the whole file or nothing: true only when every byte reached
// the file; error (when given) receives the system's reason otherwise.

// Writes the bytes through a work file in the same folder (TSaveFile; in
// text mode unless told otherwise) and replaces the old file only when
// every byte reached it; otherwise the old file stays as it was and error
// (when given) receives the reason.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                    bool textMode = true);
// The same through a save its caller made (and may have locked: TSaveFile).
bool writeWholeFile(TSaveFile &file, const QByteArray &bytes, QString *error, bool textMode);
// Copies the source to a target that does not exist yet, the same way, with
// the source's permissions.
bool copyWholeFile(const QString &source, const QString &target, QString *error = nullptr);
// Reads the whole file; false (error, when given, gets the reason) when it
// cannot be opened or read to its end.
bool readWholeFile(const QString &path, QByteArray *bytes, QString *error = nullptr);
bool createProjectListFile(const QString &path, QString *error = nullptr);
bool createProjectFile(const QString &path, QString *error = nullptr);
// An empty byte array writes nothing and gives false.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
