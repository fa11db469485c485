#pragma once
// The execution log of a configuration page: a read-only, coloured text view
// over a progress bar. Each log event of a run becomes text in one of eight
// colours, optionally after a time stamp. GUI thread only: workers reach it
// through the page's slots.
//
// Every write goes to the end of the document through a cursor of the log's
// own, so a click or a selection in an idle log never moves where the next
// line lands, and the user's selection stays as it is.

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <QWidget>

class QProgressBar;
class QTextEdit;
class QVBoxLayout;

// The pure parts of the rendering, kept apart so they can be checked alone.
namespace LogText {
// "hh:mm:ss.zzz " or "hh:mm:ss " (both end with a blank).
QString timeStamp(const QDateTime &when, bool withMs);
// Width of the stamp in blanks: 13, 9, or none when no stamps are shown.
QString indent(bool showTime, bool withMs);
// Failure banner: the heading, a ruler of 60 '=', the text, the ruler, and an
// empty last line.
QString failBanner(const QString &heading, const QString &text);
} // namespace LogText

// The font of the log and the command list: the given font with the family
// and size of "/Main/FontMonoName" and "/Main/FontMonoSize" where those are set.
QFont monoFont(QFont font);

class TWgtLogExec : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtLogExec(QWidget *parent = nullptr);
    ~TWgtLogExec() override;

    void setColorTime(const QColor &color);
    void setColorCmd(const QColor &color);
    void setColorParam(const QColor &color);
    void setColorText(const QColor &color);
    void setColorWork(const QColor &color);
    void setColorResult(const QColor &color);
    void setColorSuccess(const QColor &color);
    void setColorFailed(const QColor &color);
    // Goes straight into the text view's palette (role Base, every group).
    void setColorBackground(const QColor &color);

    // Empties the text; the progress bar keeps its value.
    void clear();
    // Running: no text interaction, the view's cursor at the end. Idle: the
    // text is selectable.
    void setRunning(bool running);
    void setProgress(int percent);

    // One writer per event kind.
    void addCmd(const QString &text, const QString &param);
    void addText(const QString &text);
    void addTextCont(const QString &text);
    void addWork(const QString &text);
    void addResult(const QString &text);
    void addSuccess(const QString &text);
    void addFailBanner(const QString &text);
    // Opens a line: a time-stamped paragraph, or an empty one.
    void newLine();

    QTextEdit *textView() const;
    QProgressBar *progressBar() const;

private:
    // A new paragraph at the end of the document holding the text.
    void appendParagraph(const QString &text, const QColor &color);
    // The text at the end of the document, on the last line.
    void insertAtEnd(const QString &text, const QColor &color);
    void writeAtEnd(const QString &text, const QColor &color, bool paragraph);
    bool nearBottom() const;
    void keepBottom(bool wasNearBottom);

    QVBoxLayout *m_layout;
    QTextEdit *m_text;
    QProgressBar *m_progress;
    QColor m_colorTime;
    QColor m_colorCmd;
    QColor m_colorParam;
    QColor m_colorText;
    QColor m_colorWork;
    QColor m_colorResult;
    QColor m_colorSuccess;
    QColor m_colorFailed;
};
