#include "gui/views/TWgtLogExec.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "gui/views/view_messages.h"

#include <QFont>
#include <QPalette>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace LogText {

QString timeStamp(const QDateTime &when, bool withMs)
{
    return when.toString(withMs ? QStringLiteral("hh:mm:ss.zzz ") : QStringLiteral("hh:mm:ss "));
}

QString indent(bool showTime, bool withMs)
{
    if (!showTime)
        return QString();
    return QString(withMs ? 13 : 9, QLatin1Char(' '));
}

QString failBanner(const QString &heading, const QString &text)
{
    const QString ruler(60, QLatin1Char('='));
    return QStringLiteral("%1\n%2\n%3\n%4\n").arg(heading, ruler, text, ruler);
}

} // namespace LogText

QFont monoFont(QFont font)
{
    if (!appData.fontMonoName.isEmpty())
        font.setFamily(appData.fontMonoName);
    if (appData.fontMonoSize > 0)
        font.setPointSize(appData.fontMonoSize);
    return font;
}

TWgtLogExec::TWgtLogExec(QWidget *parent)
    : QWidget(parent), m_layout(new QVBoxLayout(this)), m_text(new QTextEdit(this)),
      m_progress(new QProgressBar(this))
{
    m_text->setReadOnly(true);
    m_text->setWordWrapMode(QTextOption::NoWrap);
    QFont font = monoFont(m_text->font());
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    m_text->setFont(font);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->moveCursor(QTextCursor::End);

    m_progress->setRange(0, 100);
    m_progress->setFixedHeight(15);

    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_text);
    m_layout->addWidget(m_progress);
}

TWgtLogExec::~TWgtLogExec() = default;

void TWgtLogExec::setColorTime(const QColor &color) { m_colorTime = color; }
void TWgtLogExec::setColorCmd(const QColor &color) { m_colorCmd = color; }
void TWgtLogExec::setColorParam(const QColor &color) { m_colorParam = color; }
void TWgtLogExec::setColorText(const QColor &color) { m_colorText = color; }
void TWgtLogExec::setColorWork(const QColor &color) { m_colorWork = color; }
void TWgtLogExec::setColorResult(const QColor &color) { m_colorResult = color; }
void TWgtLogExec::setColorSuccess(const QColor &color) { m_colorSuccess = color; }
void TWgtLogExec::setColorFailed(const QColor &color) { m_colorFailed = color; }

void TWgtLogExec::setColorBackground(const QColor &color)
{
    QPalette palette = m_text->palette();
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(color, Qt::SolidPattern));
    m_text->setPalette(palette);
}

void TWgtLogExec::clear()
{
    m_text->clear();
}

void TWgtLogExec::setRunning(bool running)
{
    if (running) {
        m_text->setTextInteractionFlags(Qt::NoTextInteraction);
        m_text->moveCursor(QTextCursor::End);
    } else {
        m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
}

void TWgtLogExec::setProgress(int percent)
{
    m_progress->setValue(percent);
}

bool TWgtLogExec::nearBottom() const
{
    const QScrollBar *bar = m_text->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void TWgtLogExec::keepBottom(bool wasNearBottom)
{
    if (wasNearBottom) {
        QScrollBar *bar = m_text->verticalScrollBar();
        bar->setValue(bar->maximum());
    }
}

void TWgtLogExec::writeAtEnd(const QString &text, const QColor &color, bool paragraph)
{
    const bool bottom = nearBottom();
    QTextCharFormat format;
    if (color.isValid())
        format.setForeground(color);
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    // As QTextEdit::append: the first paragraph of an empty document is the
    // one already there.
    if (paragraph && !m_text->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(text, format);
    keepBottom(bottom);
}

void TWgtLogExec::appendParagraph(const QString &text, const QColor &color)
{
    writeAtEnd(text, color, true);
}

void TWgtLogExec::insertAtEnd(const QString &text, const QColor &color)
{
    writeAtEnd(text, color, false);
}

void TWgtLogExec::newLine()
{
    if (appData.execLogShowTime)
        appendParagraph(LogText::timeStamp(QDateTime::currentDateTime(), appData.execLogShowTime_ms),
                        m_colorTime);
    else
        appendParagraph(QString(), QColor());
}

void TWgtLogExec::addCmd(const QString &text, const QString &param)
{
    newLine();
    insertAtEnd(text, m_colorCmd);
    if (!param.isEmpty())
        insertAtEnd(QStringLiteral(" (%1)").arg(param), m_colorParam);
    m_progress->setValue(0);
}

void TWgtLogExec::addText(const QString &text)
{
    newLine();
    insertAtEnd(text, m_colorText);
}

void TWgtLogExec::addTextCont(const QString &text)
{
    appendParagraph(LogText::indent(appData.execLogShowTime, appData.execLogShowTime_ms) + text,
                    m_colorText);
}

void TWgtLogExec::addWork(const QString &text)
{
    appendParagraph(text, m_colorWork);
}

void TWgtLogExec::addResult(const QString &text)
{
    appendParagraph(LogText::indent(appData.execLogShowTime, appData.execLogShowTime_ms) + text,
                    m_colorResult);
}

void TWgtLogExec::addSuccess(const QString &text)
{
    newLine();
    insertAtEnd(text, m_colorSuccess);
}

void TWgtLogExec::addFailBanner(const QString &text)
{
    newLine();
    insertAtEnd(LogText::failBanner(lang.text(ViewMsg::LOG_FAILED), text), m_colorFailed);
}

QTextEdit *TWgtLogExec::textView() const
{
    return m_text;
}

QProgressBar *TWgtLogExec::progressBar() const
{
    return m_progress;
}
