#include "core/helpers.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/core_messages.h"
#include "core/platform.h"
#include "core/TSaveFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonParseError>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTableWidget>
#include <QTextStream>
#include <QWidget>

#include <atomic>

// ---- Parameter getter ------------------------------------------------------

namespace {
std::atomic<ParamReadHook> paramReadHook{nullptr};
} // namespace

void setParamReadHook(ParamReadHook hook)
{
    paramReadHook = hook;
}

QVariant getParam(const QString &source, int line, const TData &data, const QString &key)
{
    if (const ParamReadHook hook = paramReadHook)
        hook(data, key);
    const auto it = data.constFind(key);
    if (it != data.constEnd())
        return it.value();
    if (appData.debug == 1) {
        writeLog(QStringLiteral("Error"),
                 QStringLiteral("Param %1, %2: %3 not found").arg(source).arg(line).arg(key));
    }
    return QVariant();
}

// ---- Files named after the program ----------------------------------------

namespace {
// Set only by tests, before any other thread runs.
QString overrideDir;
QString overrideBaseName;
} // namespace

void setAppFileLocation(const QString &dir, const QString &baseName)
{
    overrideDir = dir.isEmpty() ? QString() : QDir::fromNativeSeparators(dir);
    overrideBaseName = dir.isEmpty() ? QString() : baseName;
}

QString appDirPath()
{
    if (!overrideDir.isEmpty())
        return overrideDir;
    return QCoreApplication::applicationDirPath();
}

QString appFilePath(const QString &suffix)
{
    QString base = overrideBaseName;
    if (overrideDir.isEmpty()) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        base = name.left(name.indexOf(QLatin1Char('.')) < 0 ? name.size()
                                                            : name.indexOf(QLatin1Char('.')));
    }
    return appDirPath() + QLatin1Char('/') + base + QLatin1Char('.') + suffix;
}

QString hotKeyFilePath()
{
    return appFilePath(QString::fromLatin1(SUFFIX_HK));
}

QString settingsFilePath()
{
    return appFilePath(QString::fromLatin1(SUFFIX_INI));
}

QString logFilePath()
{
    return appFilePath(QString::fromLatin1(SUFFIX_LOG));
}

// ---- Path helpers ----------------------------------------------------------

QString absoluteFilePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(platform::fromStoredPath(path)).absoluteFilePath());
}

QString makeAbsolutePath(const QString &base, const QString &path)
{
    const QString p = platform::fromStoredPath(path);
    if (QFileInfo(p).isAbsolute())
        return p;
    return QDir::cleanPath(QDir(platform::fromStoredPath(base)).absoluteFilePath(p));
}

QString dirOfFile(const QString &path)
{
    return QDir::cleanPath(QFileInfo(platform::fromStoredPath(path)).absolutePath());
}

QString dirOfPath(const QString &base, const QString &path)
{
    const QString b = platform::fromStoredPath(base);
    if (path.isEmpty())
        return QDir::cleanPath(QDir(b).absolutePath());
    return dirOfFile(makeAbsolutePath(b, path));
}

QString suffixOf(const QString &fileName)
{
    return QFileInfo(platform::fromStoredPath(fileName)).completeSuffix();
}

QString toRelativePath(const QString &base, const QString &path)
{
    const QString from = QDir::cleanPath(QDir(platform::fromStoredPath(base)).absolutePath());
    const QString to = absoluteFilePath(path);
    const QString rel = QDir(from).relativeFilePath(to);
    // No relative form (another drive): the absolute path.
    if (QFileInfo(rel).isAbsolute())
        return to;
    return rel;
}

QString toAppRelativePath(const QString &path)
{
    return toRelativePath(appDirPath(), path);
}

void showInExplorer(const QString &filePath)
{
    const QFileInfo info(platform::fromStoredPath(filePath));
    QString dir = info.absoluteDir().canonicalPath();
    if (dir.isEmpty())
        dir = info.absolutePath();
    platform::showFolder(dir);
}

// ---- Message boxes ---------------------------------------------------------

void showMessage(const QString &text, QMessageBox::Icon icon, QWidget *parent, const QString &title)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString withReason(const QString &text, const QString &reason)
{
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

void showInfo(const QString &text, QWidget *parent)
{
    showMessage(text, QMessageBox::Information, parent, QString::fromUtf8(APP_SHORT_NAME));
}

void showError(const QString &text, QWidget *parent)
{
    showMessage(text, QMessageBox::Critical, parent, QString::fromUtf8(APP_SHORT_NAME));
}

namespace {

// The question box with Yes and No, and Cancel when asked for; the button
// the user chose (Cancel's also for Escape and closing the box).
QMessageBox::StandardButton ask(const QString &text, QWidget *parent, bool defaultYes, bool withCancel)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(APP_SHORT_NAME), text,
                    QMessageBox::Yes | QMessageBox::No | (withCancel ? QMessageBox::Cancel : QMessageBox::NoButton),
                    parent);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(lang.text(76));
    box.button(QMessageBox::No)->setText(lang.text(77));
    if (withCancel)
        box.button(QMessageBox::Cancel)->setText(lang.text(80));
    box.exec();
    return box.standardButton(box.clickedButton());
}

} // namespace

bool askYesNo(const QString &text, QWidget *parent, bool defaultYes)
{
    return ask(text, parent, defaultYes, false) == QMessageBox::Yes;
}

TAnswer askYesNoCancel(const QString &text, QWidget *parent)
{
    switch (ask(text, parent, true, true)) {
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    default: return TAnswer::Cancel;
    }
}

// ---- Text escapes ----------------------------------------------------------

QString escapeText(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('\n'), QLatin1String("|n"));
    s.replace(QLatin1Char('"'), QLatin1String("|w"));
    return s;
}

QString unescapeText(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("|n"), QLatin1String("\n"));
    s.replace(QLatin1String("|w"), QLatin1String("\""));
    return s;
}

// ---- Log file --------------------------------------------------------------

QString logLine(const QDateTime &when, const QString &title, const QString &text)
{
    return when.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) + QLatin1Char(' ') + title
           + QLatin1Char(' ') + text + QLatin1Char('\n');
}

bool writeLog(const QString &title, const QString &text, QString *error)
{
    platform::ignoreFileSizeSignal();
    // Binary mode: a line feed alone ends the line on every platform.
    QFile file(logFilePath());
    const auto fail = [&]() {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail();
    const qint64 before = file.size();
    if (!writeBytes(file, logLine(QDateTime::currentDateTime(), title, text).toUtf8())) {
        fail();
        // No half line for the next entry to run on from.
        file.resize(before);
        return false;
    }
    return true;
}

// ---- Window placement ------------------------------------------------------

QRect fitGeometry(const QSize &screen, bool centre, const QPoint &anchor,
                  int left, int top, int width, int height)
{
    const int w = screen.width();
    const int h = screen.height();
    if (top < 0 || top > h)
        top = 0;
    if (left < 0 || left > w)
        left = 0;
    if (width > w) {
        width = w;
        left = 0;
    }
    if (height > h) {
        height = h;
        top = 0;
    }
    if (centre) {
        left = anchor.x() - width / 2;
        top = anchor.y() - height / 2;
    }
    return QRect(left, top, width, height);
}

namespace {
QSize primaryScreenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}
} // namespace

void centreOnScreen(QWidget *widget, bool centre, int left, int top, int width, int height)
{
    const QSize screen = primaryScreenSize();
    const QPoint anchor(screen.width() / 2, screen.height() / 2);
    widget->setGeometry(fitGeometry(screen, centre, anchor, left, top, width, height));
}

void centreOnActiveWindow(QWidget *widget, bool centre, int left, int top, int width, int height)
{
    const QSize screen = primaryScreenSize();
    // Without an active window the screen's centre stands in for it.
    QPoint anchor(screen.width() / 2, screen.height() / 2);
    if (const QWidget *active = QApplication::activeWindow()) {
        const QRect r = active->geometry();
        anchor = QPoint((r.left() + r.right()) / 2, (r.top() + r.bottom()) / 2);
    }
    widget->setGeometry(fitGeometry(screen, centre, anchor, left, top, width, height));
}

// ---- Style and colours -----------------------------------------------------

QStringList styleKeys()
{
    return QStyleFactory::keys();
}

void applyStyle(const QString &name)
{
    if (styleKeys().contains(name))
        QApplication::setStyle(name);
}

QColor paletteTextColor()
{
    return QGuiApplication::palette().color(QPalette::WindowText);
}

QColor paletteBaseColor()
{
    return QGuiApplication::palette().color(QPalette::Base);
}

QColor warningColor()
{
    return QColor(255, 200, 200);
}

// ---- Table rows ------------------------------------------------------------

void moveTableRow(QTableWidget *table, int delta)
{
    const int row = table->currentRow();
    if (row < 0)
        return;
    const int target = row + delta;
    if (target < 0 || target >= table->rowCount())
        return;
    const bool blocked = table->blockSignals(true);
    for (int col = 0; col < table->columnCount(); ++col) {
        QTableWidgetItem *a = table->takeItem(row, col);
        QTableWidgetItem *b = table->takeItem(target, col);
        table->setItem(row, col, b);
        table->setItem(target, col, a);
    }
    table->setCurrentCell(target, 0);
    table->blockSignals(blocked);
}

// ---- File templates and raw writes -----------------------------------------

bool writeBytes(QFileDevice &file, const QByteArray &bytes)
{
    qint64 done = 0;
    // A write the system cuts short (the disk filled up, the size limit was
    // reached) returns what fitted and sets no error; the next one meets
    // the reason. A write that takes nothing and names nothing ends it too.
    int idle = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n < 0) {
            // Refused while emptying a full buffer that the system cut
            // short: what is left in it meets the reason.
            file.flush();
            return false;
        }
        if (n == 0 && ++idle > 2)
            return false;
        done += n;
    }
    return true;
}

bool flushBytes(QFileDevice &file)
{
    if (file.flush())
        return true;
    // The buffer kept what did not fit: flushing it again meets the
    // system's reason where the first flush was only cut short.
    file.flush();
    return false;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error, bool textMode)
{
    TSaveFile file(path);
    return writeWholeFile(file, bytes, error, textMode);
}

bool writeWholeFile(TSaveFile &file, const QByteArray &bytes, QString *error, bool textMode)
{
    platform::ignoreFileSizeSignal();
    // Every byte has to reach the work file before it may replace the old
    // one: a buffer the system cut short names its reason only when it is
    // emptied again.
    const auto fail = [&]() {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(textMode ? QIODevice::WriteOnly | QIODevice::Text : QIODevice::WriteOnly))
        return fail();
    if (!writeBytes(file, bytes) || !flushBytes(file))
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool copyWholeFile(const QString &source, const QString &target, QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return fail(QCoreApplication::translate("QFile", "Destination file exists"));
    QByteArray bytes;
    QString reason;
    if (!readWholeFile(source, &bytes, &reason) || !writeWholeFile(target, bytes, &reason, false))
        return fail(reason);
    QFile::setPermissions(target, QFile::permissions(source));
    return true;
}

bool readWholeFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile in(path);
    if (in.open(QIODevice::ReadOnly)) {
        *bytes = in.readAll();
        if (in.error() == QFileDevice::NoError)
            return true;
    }
    if (error)
        *error = in.errorString();
    return false;
}

bool createProjectListFile(const QString &path, QString *error)
{
    return writeWholeFile(path,
                          "{\n"
                          "    \"version\": 1,\n"
                          "    \"list\":\n"
                          "    [\n"
                          "    ]\n"
                          "}\n",
                          error);
}

bool createProjectFile(const QString &path, QString *error)
{
    return writeWholeFile(path,
                          "{\n"
                          "    \"version\": 1,\n"
                          "    \"name\": \"\",\n"
                          "    \"description\": \"\",\n"
                          "    \"configurations\":\n"
                          "    [\n"
                          "        {\n"
                          "            \"name\": \"Config\",\n"
                          "            \"description\": \"\",\n"
                          "            \"commands\":\n"
                          "            [\n"
                          "            ]\n"
                          "        }\n"
                          "    ]\n"
                          "}\n",
                          error);
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty())
        return false;
    return writeWholeFile(path, bytes, error);
}


QString jsonStringText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // Escaped: controls; U+FEFF, which the JSON reader drops at the start
        // of a string; U+2028/2029, which strict readers of JavaScript-like
        // text refuse; and lone surrogates, which have no UTF-8 form.
        bool escape = c.unicode() < 0x20 || c.unicode() == 0xFEFF || c.unicode() == 0x2028
                      || c.unicode() == 0x2029;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        escape = escape || c.isSurrogate();
        if (escape && c != QLatin1Char('\b') && c != QLatin1Char('\f') && c != QLatin1Char('\n')
            && c != QLatin1Char('\r') && c != QLatin1Char('\t')) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            continue;
        }
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            out += c;
        }
    }
    return out;
}

bool readJsonText(const QByteArray &text, QJsonDocument *doc, QString *error)
{
    QJsonParseError parse;
    *doc = QJsonDocument::fromJson(text, &parse);
    if (parse.error == QJsonParseError::NoError)
        return true;
    // The reader's offset lies just past the character it stopped at (past
    // the end of a text that ends too soon), but for text after the
    // document and bytes that are no UTF-8, where it is that character.
    const bool atOffset =
        parse.error == QJsonParseError::GarbageAtEnd || parse.error == QJsonParseError::IllegalUTF8String;
    const int at = qBound(0, atOffset ? parse.offset : parse.offset - 1, text.size());
    // Lines end with LF, CR LF or a lone CR (the project lists' own line
    // end); a CR LF is one character at the end of its line.
    const auto crLfAt = [&text](int i) {
        return i + 1 < text.size() && text.at(i) == '\r' && text.at(i + 1) == '\n';
    };
    int line = 1;
    int lineStart = 0;
    for (int i = 0; i < at; ++i) {
        if (text.at(i) == '\n' || (text.at(i) == '\r' && !crLfAt(i))) {
            ++line;
            lineStart = i + 1;
        }
    }
    const int lineEnd = at > lineStart && crLfAt(at - 1) ? at - 1 : at;
    const int column = QString::fromUtf8(text.mid(lineStart, lineEnd - lineStart)).toUcs4().size() + 1;
    const int expected = parse.error >= QJsonParseError::UnterminatedObject
                                 && parse.error <= QJsonParseError::GarbageAtEnd
                             ? MSG_JSON_EXPECTED + parse.error - QJsonParseError::UnterminatedObject
                             : -1;
    *error = lang.text(MSG_JSON_AT)
                 .arg(line)
                 .arg(column)
                 .arg(expected < 0 ? parse.errorString() : lang.text(expected));
    return false;
}
