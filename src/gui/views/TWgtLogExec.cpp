#include "gui/views/TWgtLogExec.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "gui/views/view_messages.h"

#include <QFont>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
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

namespace {

// Text in the colour; an invalid one gives no colour of its own.
QTextCharFormat charFormat(const QColor &color)
{
    QTextCharFormat format;
    if (color.isValid())
        format.setForeground(color);
    return format;
}

} // namespace

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
      m_progress(new QProgressBar(this)), m_progressFrame(new QTimer(this))
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
    m_progressFrame->setSingleShot(true);
    connect(m_progressFrame, &QTimer::timeout, this, [this] { showProgress(); });

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
    m_cmdBlock = -1;
}

void TWgtLogExec::setRunning(bool running)
{
    if (running) {
        m_text->setTextInteractionFlags(Qt::NoTextInteraction);
        m_text->moveCursor(QTextCursor::End);
    } else {
        m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        showProgress();
    }
}

void TWgtLogExec::setProgress(int percent)
{
    // The bar's own repaint at each value is held back until the frame is
    // due.
    m_progress->setUpdatesEnabled(false);
    m_progress->setValue(percent);
    if (!m_progressFrame->isActive())
        m_progressFrame->start(progressFrameMs());
}

void TWgtLogExec::showProgress()
{
    // Letting updates go again paints the value the bar holds now.
    m_progressFrame->stop();
    m_progress->setUpdatesEnabled(true);
}

int TWgtLogExec::progressFrameMs() const
{
    const QScreen *screen = m_progress->screen();
    const qreal hz = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60.0;
    return qBound(1, qRound(1000.0 / hz), 100);
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

int TWgtLogExec::writeLine(const QVector<Piece> &pieces)
{
    const bool bottom = nearBottom();
    QTextDocument *doc = m_text->document();
    const bool empty = doc->isEmpty();
    QTextCursor cursor(doc);
    // Inside the edit, moving to the end lays nothing out.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    bool first = true;
    for (const Piece &piece : pieces) {
        const QTextCharFormat format = charFormat(piece.color);
        if (first && !empty)
            cursor.insertBlock(QTextBlockFormat(), format);
        first = false;
        cursor.insertText(piece.text, format);
    }
    const int block = cursor.blockNumber();
    cursor.endEditBlock();
    keepBottom(bottom);
    return block;
}

TWgtLogExec::Piece TWgtLogExec::opening() const
{
    if (!appData.execLogShowTime)
        return {QString(), QColor()};
    return {LogText::timeStamp(QDateTime::currentDateTime(), appData.execLogShowTime_ms), m_colorTime};
}

void TWgtLogExec::newLine()
{
    writeLine({opening()});
}

QVector<TWgtLogExec::Piece> TWgtLogExec::cmdLine(const Piece &stamp, const QString &text,
                                                 const QString &param) const
{
    QVector<Piece> pieces{stamp, {text, m_colorCmd}};
    if (!param.isEmpty())
        pieces.append({QStringLiteral(" (%1)").arg(param), m_colorParam});
    return pieces;
}

void TWgtLogExec::addCmd(const QString &text, const QString &param)
{
    m_cmdStamp = opening();
    m_cmdBlock = writeLine(cmdLine(m_cmdStamp, text, param));
    setProgress(0);
}

void TWgtLogExec::amendCmd(const QString &text, const QString &param)
{
    const QTextBlock block = m_text->document()->findBlockByNumber(m_cmdBlock);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    for (const Piece &piece : cmdLine(m_cmdStamp, text, param))
        cursor.insertText(piece.text, charFormat(piece.color));
    cursor.endEditBlock();
}

void TWgtLogExec::addText(const QString &text)
{
    writeLine({opening(), {text, m_colorText}});
}

void TWgtLogExec::addTextCont(const QString &text)
{
    writeLine({{LogText::indent(appData.execLogShowTime, appData.execLogShowTime_ms) + text, m_colorText}});
}

void TWgtLogExec::addWork(const QString &text)
{
    writeLine({{text, m_colorWork}});
}

void TWgtLogExec::addResult(const QString &text)
{
    writeLine({{LogText::indent(appData.execLogShowTime, appData.execLogShowTime_ms) + text, m_colorResult}});
}

void TWgtLogExec::addSuccess(const QString &text)
{
    writeLine({opening(), {text, m_colorSuccess}});
}

void TWgtLogExec::addFailBanner(const QString &text)
{
    writeLine({opening(), {LogText::failBanner(lang.text(ViewMsg::LOG_FAILED), text), m_colorFailed}});
}

QTextEdit *TWgtLogExec::textView() const
{
    return m_text;
}

QProgressBar *TWgtLogExec::progressBar() const
{
    return m_progress;
}
