#pragma once
// The execution log of a configuration page: a read-only, coloured text view
// over a progress bar. Each log event of a run becomes text in one of eight
// colours, optionally after a time stamp. GUI thread only: workers reach it
// through the page's slots.
//
// Every write goes to the end of the document through a cursor of the log's
// own, so a click or a selection in an idle log never moves where the next
// line lands, and the user's selection stays as it is. A line is written in
// one edit of the document (time stamp, name and text together), so the
// view lays it out once.
//
// The progress bar takes every percentage as its value at once; it is
// painted at most once a frame of the screen, with the value it holds then:
// while percentages stream in, the bar's updates are held for up to a frame
// at a time, and a run that pauses or ends lets them go at once.

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <QVector>
#include <QWidget>

class QProgressBar;
class QTextEdit;
class QTimer;
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
    // text is selectable, and the bar shows its value at once.
    void setRunning(bool running);
    void setProgress(int percent);

    // One writer per event kind.
    void addCmd(const QString &text, const QString &param);
    // The last command line with the name and text given, its time stamp
    // kept (a read has stored a new value in its command).
    void amendCmd(const QString &text, const QString &param);
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
    // The shortest time between two paintings of the progress bar: a frame
    // of the screen it is on.
    int progressFrameMs() const;

private:
    struct Piece
    {
        QString text;
        QColor color;   // invalid: no colour of its own
    };
    // The time stamp in the Time colour when stamps are shown, else nothing.
    Piece opening() const;
    // Ends a held frame of the progress bar: it is painted with its value.
    void showProgress();
    // A new paragraph at the end of the document (as QTextEdit::append, the
    // first one of an empty document is the one already there) holding the
    // pieces in their colours, written in one edit; the paragraph takes the
    // first piece's colour.
    // Gives the number of the paragraph.
    int writeLine(const QVector<Piece> &pieces);
    // The pieces of a command line.
    QVector<Piece> cmdLine(const Piece &stamp, const QString &text, const QString &param) const;
    bool nearBottom() const;
    void keepBottom(bool wasNearBottom);

    QVBoxLayout *m_layout;
    QTextEdit *m_text;
    QProgressBar *m_progress;
    QTimer *m_progressFrame;   // running while the bar's painting is held
    QColor m_colorTime;
    QColor m_colorCmd;
    QColor m_colorParam;
    QColor m_colorText;
    QColor m_colorWork;
    QColor m_colorResult;
    QColor m_colorSuccess;
    QColor m_colorFailed;
    int m_cmdBlock = -1;   // the paragraph of the last command line
    Piece m_cmdStamp;      // and its time stamp
};
