// The configuration pages as a user meets them: the execution log's lines and
// colours, the command list's looks and check boxes, the page's forms, rows
// and description, and the project view's tabs kept equal to the project.

#include "gui/views/TWgtCmdList.h"
#include "gui/views/TWgtConfig.h"
#include "gui/views/TWgtLogExec.h"
#include "gui/views/TWgtPrj.h"
#include "views_fixture.h"

#include "core/TExecState.h"
#include "core/helpers.h"
#include "data/TDataCfg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using namespace views;

namespace {

const QColor TIME(1, 1, 1), CMD(2, 2, 2), PARAM(3, 3, 3), TEXT(4, 4, 4), WORK(5, 5, 5),
    RESULT(6, 6, 6), SUCCESS(7, 7, 7), FAILED(8, 8, 8);

QColor colorAt(QTextEdit *edit, const QString &text)
{
    const int at = edit->toPlainText().lastIndexOf(text);
    if (at < 0)
        return QColor();
    QTextCursor cursor(edit->document());
    cursor.setPosition(at + 1);
    return cursor.charFormat().foreground().color();
}

// A press, a move in steps and a release with the left button held, as a
// drag by the user's hand.
void drag(QWidget *w, QPoint from, QPoint to)
{
    auto send = [w](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 10; ++i)
        send(QEvent::MouseMove, from + (to - from) * i / 10, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

QPoint cellCenter(TWgtCmdList *list, int row, int col)
{
    QTableWidget *t = list->table();
    return t->visualItemRect(t->item(row, col)).center();
}

// The centre of a row's check box, where the style draws it.
QPoint checkBoxAt(TWgtCmdList *list, int row)
{
    QTableWidget *t = list->table();
    QStyleOptionViewItem opt;
    opt.initFrom(t->viewport());
    opt.rect = t->visualItemRect(t->item(row, 0));
    opt.features |= QStyleOptionViewItem::HasCheckIndicator;
    opt.checkState = t->item(row, 0)->checkState();
    opt.index = t->model()->index(row, 0);
    return t->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, t).center();
}

void clickRow(TWgtCmdList *list, int row)
{
    QTest::mouseClick(list->table()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCenter(list, row, 1));
}

QStringList rowTexts(TWgtCmdList *list)
{
    QStringList texts;
    for (int r = 0; r < list->rowCount(); ++r)
        texts << list->table()->item(r, 2)->text();
    return texts;
}

QList<int> rowIds(TWgtCmdList *list)
{
    QList<int> ids;
    for (int r = 0; r < list->rowCount(); ++r)
        ids << list->rowCmdId(r);
    return ids;
}

void deleteLaterNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The log as a reader sees it: one line per paragraph, each run of one
// colour after its tag ({T}ime, {C}md, {P}aram, te{X}t, {W}ork, {R}esult,
// {S}uccess, {F}ailed, {-} none), every time stamp replaced by <ms> or <s>.
// The stamps found are returned in stamps.
QString rendering(const QTextDocument *doc, QStringList *stamps = nullptr)
{
    const QList<QPair<QColor, QString>> tags{{TIME, "T"},   {CMD, "C"},    {PARAM, "P"},
                                             {TEXT, "X"},   {WORK, "W"},   {RESULT, "R"},
                                             {SUCCESS, "S"}, {FAILED, "F"}};
    const auto tagOf = [&tags](const QTextCharFormat &f) {
        if (!f.hasProperty(QTextFormat::ForegroundBrush))
            return QStringLiteral("{-}");
        for (const auto &t : tags)
            if (t.first == f.foreground().color())
                return QStringLiteral("{%1}").arg(t.second);
        return QStringLiteral("{%1}").arg(f.foreground().color().name());
    };
    QStringList lines;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QString line;
        QString last;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QString tag = tagOf(frag.charFormat());
            if (tag != last)
                line += tag;
            last = tag;
            line += frag.text();
        }
        lines << line;
    }
    QString text = lines.join('\n');
    const QRegularExpression stamp(QStringLiteral("\\{T\\}(\\d\\d:\\d\\d:\\d\\d(\\.\\d\\d\\d)? )"));
    QRegularExpressionMatchIterator it = stamp.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (stamps)
            *stamps << m.captured(1);
    }
    text.replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ")), QStringLiteral("<ms>"));
    text.replace(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d ")), QStringLiteral("<s>"));
    return text;
}

// Writes the events, each "kind|text1|text2", through the page's slot.
void writeEvents(TWgtConfig &page, const QStringList &events)
{
    for (const QString &e : events) {
        const QStringList parts = e.split('|');
        page.slotExecEventText(TCodeExec(parts.value(0).toInt()), parts.value(1), parts.value(2));
    }
}

// Counts the paintings of a widget and keeps the value a progress bar
// showed at each.
struct PaintCounter : QObject
{
    QVector<int> painted;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted << static_cast<QProgressBar *>(watched)->value();
        return false;
    }
};

} // namespace

class TestViews : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    void setLogColors()
    {
        appData.execLogColorTime = TIME;
        appData.execLogColorCmd = CMD;
        appData.execLogColorParam = PARAM;
        appData.execLogColorText = TEXT;
        appData.execLogColorWork = WORK;
        appData.execLogColorResult = RESULT;
        appData.execLogColorSuccess = SUCCESS;
        appData.execLogColorFailed = FAILED;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(setUpProviders(dir));
        setLogColors();
    }

    void init()
    {
        openProject(dir);
        appData.cmdEnableHLJamp = false;
        appData.cmdDelCmdDev = false;
        appData.execLogShowTime = false;
        appData.execLogShowTime_ms = false;
    }

    // ---- Execution log -------------------------------------------------------------

    void logRendersEachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text1");
        QTest::addColumn<QString>("text2");
        QTest::addColumn<bool>("time");
        QTest::addColumn<bool>("ms");
        QTest::addColumn<QString>("stamp");    // regular expression of the stamp, "" = none
        QTest::addColumn<QString>("written");  // what follows "start\n" and the stamp
        QTest::addColumn<QColor>("color");     // colour of text1
        const QString ms = QStringLiteral("\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ");
        const QString s = QStringLiteral("\\d\\d:\\d\\d:\\d\\d ");
        const QString banner = QStringLiteral("msg 386\n%1\n%2\n%1\n").arg(QString(60, '='));
        QTest::newRow("cmd+param") << 0 << "Read" << "p=1" << false << false << "" << "Read (p=1)" << CMD;
        QTest::newRow("cmd alone, ms") << 0 << "Read" << "" << true << true << ms << "Read" << CMD;
        QTest::newRow("text, s") << 1 << "hello" << "" << true << false << s << "hello" << TEXT;
        QTest::newRow("cont, ms") << 2 << "more" << "" << true << true << "" << QString(13, ' ') + "more" << TEXT;
        QTest::newRow("cont, s") << 2 << "more" << "" << true << false << "" << QString(9, ' ') + "more" << TEXT;
        QTest::newRow("cont, ms alone") << 2 << "more" << "" << false << true << "" << "more" << TEXT;
        QTest::newRow("work, time") << 3 << "work" << "" << true << true << "" << "work" << WORK;
        QTest::newRow("result, ms") << 4 << "res" << "" << true << true << "" << QString(13, ' ') + "res" << RESULT;
        QTest::newRow("result, none") << 4 << "res" << "" << false << false << "" << "res" << RESULT;
        QTest::newRow("success") << 5 << "ok" << "" << false << false << "" << "ok" << SUCCESS;
        QTest::newRow("success, s") << 5 << "ok" << "" << true << false << s << "ok" << SUCCESS;
        QTest::newRow("failed") << 6 << "why" << "" << false << false << "" << banner.arg("why") << FAILED;
        QTest::newRow("failed, empty") << 6 << "" << "" << true << true << ms << banner.arg("") << FAILED;
    }
    void logRendersEachKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        QFETCH(bool, time);
        QFETCH(bool, ms);
        QFETCH(QString, stamp);
        QFETCH(QString, written);
        QFETCH(QColor, color);
        TWgtConfig page;
        QTextEdit *view = page.log()->textView();
        page.slotExecEventText(EXEC_WORK, QStringLiteral("start"));
        page.slotExecEventProc(40);
        appData.execLogShowTime = time;
        appData.execLogShowTime_ms = ms;
        page.slotExecEventText(TCodeExec(kind), text1, text2);

        QString rest = view->toPlainText();
        QVERIFY(rest.startsWith(QLatin1String("start\n")));
        rest = rest.mid(6);
        if (!stamp.isEmpty()) {
            const QRegularExpressionMatch m = QRegularExpression('^' + stamp).match(rest);
            QVERIFY2(m.hasMatch(), qPrintable(rest));
            QCOMPARE(colorAt(view, m.captured(0)), TIME);
            rest = rest.mid(m.capturedLength());
        }
        QCOMPARE(rest, written);
        if (!text1.isEmpty())
            QCOMPARE(colorAt(view, text1), color);
        if (!text2.isEmpty())
            QCOMPARE(colorAt(view, QStringLiteral(" (%1)").arg(text2)), PARAM);
        if (kind == EXEC_FAILED)
            QCOMPARE(colorAt(view, QStringLiteral("msg 386")), FAILED);
        // Only a command line resets the progress.
        QCOMPARE(page.log()->progressBar()->value(), kind == EXEC_CMD ? 0 : 40);
    }

    // Whole sequences as the reader sees them: text, colours, time stamps,
    // indentation and the order of the lines, from an empty log on; and each
    // line written in one edit.
    void logSequencesKeepTheirLook_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<bool>("ms");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("shown");
        const QString ruler(60, '=');
        const QStringList each{"3|start", "0|Read|p=1", "1|hello", "2|more", "3|work", "4|res", "0|Erase|",
                               "5|ok", "6|why", "1|after"};
        QTest::newRow("each kind, no stamps")
            << false << false << each
            << QString("{W}start\n{C}Read{P} (p=1)\n{X}hello\n{X}more\n{W}work\n{R}res\n{C}Erase\n{S}ok\n"
                       "{F}msg 386\n{F}%1\n{F}why\n{F}%1\n\n{X}after")
                   .arg(ruler);
        QTest::newRow("each kind, stamps with ms")
            << true << true << each
            << QString("{W}start\n{T}<ms>{C}Read{P} (p=1)\n{T}<ms>{X}hello\n{X}%2more\n{W}work\n{R}%2res\n"
                       "{T}<ms>{C}Erase\n{T}<ms>{S}ok\n{T}<ms>{F}msg 386\n{F}%1\n{F}why\n{F}%1\n\n"
                       "{T}<ms>{X}after")
                   .arg(ruler, QString(13, ' '));
        QTest::newRow("each kind, stamps in seconds")
            << true << false << each
            << QString("{W}start\n{T}<s>{C}Read{P} (p=1)\n{T}<s>{X}hello\n{X}%2more\n{W}work\n{R}%2res\n"
                       "{T}<s>{C}Erase\n{T}<s>{S}ok\n{T}<s>{F}msg 386\n{F}%1\n{F}why\n{F}%1\n\n"
                       "{T}<s>{X}after")
                   .arg(ruler, QString(9, ' '));
        QTest::newRow("milliseconds alone show nothing")
            << false << true << QStringList{"1|a", "2|b", "4|c"} << QString("{X}a\n{X}b\n{R}c");
        // The first line of an empty log takes the paragraph already there.
        QTest::newRow("first: command") << false << false << QStringList{"0|Read|x"} << "{C}Read{P} (x)";
        QTest::newRow("first: command, stamp") << true << true << QStringList{"0|Read|"} << "{T}<ms>{C}Read";
        QTest::newRow("first: continuation") << true << true << QStringList{"2|c"}
                                             << QString(13, ' ').prepend("{X}") + "c";
        QTest::newRow("first: work") << true << false << QStringList{"3|w"} << "{W}w";
        QTest::newRow("first: result") << true << false << QStringList{"4|r"} << QString(9, ' ').prepend("{R}") + "r";
        QTest::newRow("first: failure, empty text")
            << false << false << QStringList{"6|"}
            << QString("{F}msg 386\n{F}%1\n\n{F}%1\n").arg(ruler);
        QTest::newRow("unknown kinds write nothing")
            << true << true << QStringList{"1|a", "8|x|y", "9|z", "5|b"} << "{T}<ms>{X}a\n{T}<ms>{S}b";
        // What a read stored takes the place of the last command line's text,
        // the stamp kept (also where it had none); without one it is dropped.
        QTest::newRow("values read, in their command's line")
            << true << true << QStringList{"7|Read|9", "0|Read|", "7|Read|E2", "0|Fuse|E2", "2|more", "7|Fuse|62", "1|t"}
            << QString("{T}<ms>{C}Read{P} (E2)\n{T}<ms>{C}Fuse{P} (62)\n{X}%1more\n{T}<ms>{X}t").arg(QString(13, ' '));
        QTest::newRow("work after a command and a work line")
            << false << false << QStringList{"0|C|p", "3|w1", "3|w2", "1|t"} << "{C}C{P} (p)\n{W}w1\n{W}w2\n{X}t";
    }
    void logSequencesKeepTheirLook()
    {
        QFETCH(bool, time);
        QFETCH(bool, ms);
        QFETCH(QStringList, events);
        QFETCH(QString, shown);
        appData.execLogShowTime = time;
        appData.execLogShowTime_ms = ms;
        TWgtConfig page;
        QTextDocument *doc = page.log()->textView()->document();
        // Each line is one edit of the document, which the view lays out once.
        QSignalSpy edits(doc, &QTextDocument::contentsChange);
        const QDateTime before = QDateTime::currentDateTime();
        bool cmdLine = false;   // a value read has a line to go to
        for (const QString &event : qAsConst(events)) {
            edits.clear();
            writeEvents(page, {event});
            const int kind = event.section('|', 0, 0).toInt();
            cmdLine = cmdLine || kind == EXEC_CMD;
            QVERIFY2(edits.count() == (kind <= EXEC_FAILED || (kind == EXEC_CMD_READ && cmdLine) ? 1 : 0),
                     qPrintable(event));
        }
        const QDateTime after = QDateTime::currentDateTime();
        QStringList stamps;
        QCOMPARE(rendering(doc, &stamps), shown);
        edits.clear();
        page.log()->newLine();
        QCOMPARE(edits.count(), 1);
        // Each stamp is the time its line was written.
        if (before.date() == after.date()) {
            for (const QString &stamp : qAsConst(stamps)) {
                const QTime at = QTime::fromString(stamp.trimmed(), ms ? "hh:mm:ss.zzz" : "hh:mm:ss");
                QVERIFY2(at.isValid(), qPrintable(stamp));
                QVERIFY2(at >= QTime(before.time().hour(), before.time().minute(), before.time().second())
                             && at <= after.time(),
                         qPrintable(stamp));
            }
        }
    }

    // The bar takes every percentage as its value at once, is painted at most
    // once a frame of the screen while they stream in, and shows the last one
    // when they stop.
    void logProgressTakesEveryValueAndPaintsOncePerFrame()
    {
        TWgtConfig page;
        page.showPageExec();
        page.resize(600, 400);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QProgressBar *bar = page.log()->progressBar();
        QCoreApplication::processEvents();
        PaintCounter paints;
        bar->installEventFilter(&paints);
        QSignalSpy taken(bar, &QProgressBar::valueChanged);

        QVector<int> values;
        for (int v = 0; v <= 100; ++v)
            values << v;
        for (int v = 99; v >= 37; v -= 2)
            values << v;
        QElapsedTimer clock;
        clock.start();
        for (int v : qAsConst(values)) {
            page.slotExecEventProc(v);
            QCOMPARE(bar->value(), v);
        }
        page.slotExecEventText(EXEC_CMD, QStringLiteral("next"));
        QCOMPARE(bar->value(), 0);
        const qint64 elapsed = clock.elapsed();
        values << 0;
        QCOMPARE(taken.count(), values.size());
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(taken.at(i).at(0).toInt(), values.at(i));
        const int frames = int(elapsed / page.log()->progressFrameMs()) + 2;
        QVERIFY2(paints.painted.size() <= frames,
                 qPrintable(QStringLiteral("%1 paintings in %2 ms").arg(paints.painted.size()).arg(elapsed)));
        QVERIFY(paints.painted.size() < values.size());
        QTRY_VERIFY(!paints.painted.isEmpty() && paints.painted.last() == 0);
        QVERIFY(bar->updatesEnabled());
        // A run that pauses or ends shows its last value without waiting.
        page.slotExecEventProc(64);
        page.setRunning(false);
        QVERIFY(bar->updatesEnabled());
        QTRY_COMPARE(paints.painted.last(), 64);
    }

    void logIgnoresUnknownKindsAndClearKeepsProgress()
    {
        TWgtConfig page;
        page.slotExecEventText(EXEC_TEXT, QStringLiteral("a"));
        page.slotExecEventProc(55);
        const QString before = page.log()->textView()->toPlainText();
        page.slotExecEventText(TCodeExec(EXEC_CMD_READ + 1), QStringLiteral("never"), QStringLiteral("x"));
        QCOMPARE(page.log()->textView()->toPlainText(), before);
        page.slotExecEventProc(101);   // outside the range: ignored
        QCOMPARE(page.log()->progressBar()->value(), 55);
        page.clearLog();
        QVERIFY(page.log()->textView()->toPlainText().isEmpty());
        QCOMPARE(page.log()->progressBar()->value(), 55);
    }

    // A click and a selection in the idle log leave the next lines at the end
    // and the selection where it was.
    void logWritesAtTheEndAfterAClick()
    {
        TWgtLogExec log;
        log.setColorText(TEXT);
        log.resize(400, 200);
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        log.addText(QStringLiteral("first line"));
        log.addText(QStringLiteral("second line"));
        QTextEdit *view = log.textView();
        const QPoint start = view->cursorRect(QTextCursor(view->document())).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, start + QPoint(3, 0));
        const QString selected = view->textCursor().selectedText();
        QCOMPARE(selected, QStringLiteral("first"));
        log.addText(QStringLiteral("third"));
        log.addResult(QStringLiteral("fourth"));
        log.addCmd(QStringLiteral("fifth"), QStringLiteral("p"));
        QCOMPARE(view->toPlainText(),
                 QStringLiteral("first line\nsecond line\nthird\nfourth\nfifth (p)"));
        QCOMPARE(view->textCursor().selectedText(), selected);
        QCOMPARE(colorAt(view, QStringLiteral("third")), TEXT);
        // Running mode puts the view's own cursor back at the end.
        log.setRunning(true);
        QVERIFY(view->textCursor().atEnd());
        QCOMPARE(view->textInteractionFlags(), Qt::NoTextInteraction);
    }

    // ---- Command list --------------------------------------------------------------

    void cmdListLooks()
    {
        TWgtCmdList list;
        const char *codes[] = {"delay", "jamp", "ident", "set_prog"};
        for (int r = 0; r < 4; ++r)
            list.insertCmdRow(r, 100 + r, codes[r], true, codes[r], QStringLiteral("t"));
        // Validity: red unless both flags are set, struck out without a device.
        const struct { bool dev, param; bool red, strike; } cases[] = {
            {true, true, false, false}, {true, false, true, false},
            {false, true, true, true}, {false, false, true, true}};
        const QColor normal = QApplication::palette().color(QPalette::WindowText);
        for (const auto &c : cases) {
            list.updateCmdRow(102, "ident", "n", "t", c.dev, c.param);
            for (int col = 0; col < 3; ++col) {
                QTableWidgetItem *item = list.table()->item(2, col);
                QCOMPARE(item->foreground().color(), c.red ? QColor(Qt::red) : normal);
                QCOMPARE(item->font().strikeOut(), c.strike);
            }
        }
        // Strike-out and highlight together, in either order.
        list.highlightRow(2);
        list.updateCmdRow(102, "ident", "n", "t", false, true);
        QVERIFY(list.table()->item(2, 1)->font().bold() && list.table()->item(2, 1)->font().italic());
        QVERIFY(list.table()->item(2, 1)->font().strikeOut());
        // Out of range keeps the highlight.
        list.highlightRow(-1);
        list.highlightRow(list.rowCount());
        QVERIFY(list.table()->item(2, 0)->font().bold());
        list.highlightRow(0);
        QVERIFY(!list.table()->item(2, 0)->font().bold());
        QVERIFY(list.table()->item(2, 0)->font().strikeOut());

        // Colours: a set flag gives the colour, a clear one the Base colour.
        const QColor base = QApplication::palette().color(QPalette::Base);
        appData.cmdToolsDelayColorEnable = true;
        appData.cmdToolsDelayColor = QColor(10, 200, 30);
        appData.cmdToolsJampColorEnable = false;
        appData.cmdToolsJampColor = QColor(200, 10, 30);
        TWgtCmdList::applyColorSettings();
        list.applyRowColors();
        QCOMPARE(list.table()->item(0, 2)->background().color(), QColor(10, 200, 30));
        QCOMPARE(list.table()->item(1, 2)->background().color(), base);
        QCOMPARE(list.table()->item(2, 0)->background().color(), base);
        QCOMPARE(TWgtCmdList::cmdColor(QStringLiteral("jamp")), base);
        appData.cmdToolsDelayColorEnable = false;
        TWgtCmdList::applyColorSettings();

        // Emptying emits nothing.
        QSignalSpy select(&list, &TWgtCmdList::signalSelectCmd);
        QSignalSpy enabled(&list, &TWgtCmdList::signalEnabledCmd);
        list.setCurrentRow(1);
        select.clear();
        list.clear();
        QCOMPARE(list.rowCount(), 0);
        QCOMPARE(select.count() + enabled.count(), 0);
        QCOMPARE(list.currentCmdId(), -1);
    }

    void hideUncheckedMovesTheCurrentRow_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("after");
        QTest::addColumn<QList<bool>>("hidden");
        // Rows: 0 unchecked, 1 checked, 2 unchecked.
        QTest::newRow("hide, unchecked current") << true << 2 << 0 << QList<bool>{true, false, true};
        QTest::newRow("hide, checked current") << true << 1 << 1 << QList<bool>{true, false, true};
        QTest::newRow("show, unchecked current") << false << 2 << 0 << QList<bool>{false, false, false};
        QTest::newRow("show, checked current") << false << 1 << 1 << QList<bool>{false, false, false};
    }
    void hideUncheckedMovesTheCurrentRow()
    {
        QFETCH(bool, hide);
        QFETCH(int, current);
        QFETCH(int, after);
        QFETCH(QList<bool>, hidden);
        TWgtCmdList list;
        for (int r = 0; r < 3; ++r)
            list.insertCmdRow(r, r, "delay", r == 1, "n", "t");
        list.hideUnchecked(true);
        list.hideUnchecked(false);
        list.setCurrentRow(current);
        list.hideUnchecked(hide);
        QCOMPARE(list.currentRow(), after);
        for (int r = 0; r < 3; ++r)
            QCOMPARE(list.table()->isRowHidden(r), hidden.at(r));
    }

    // ---- Configuration page -----------------------------------------------------------

    void pageFormsFollowTheSelection()
    {
        const int a = dataPrj.addCfg(QStringLiteral("A"), QString());
        const int b = dataPrj.addCfg(QStringLiteral("B"), QString());
        addCmd(a, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Box")}});
        addSetDevice(a);
        const int ident = addCmd(a, QStringLiteral("ident"), {{FORM_KEY, QStringLiteral("11")}});
        const int erase = addCmd(a, QStringLiteral("erase"), {{FORM_KEY, QStringLiteral("22")}});
        const int orphan = addCmd(b, QStringLiteral("ident"), {{FORM_KEY, QStringLiteral("33")}});
        dataPrj.validateAll();
        QVERIFY(dataPrj.cmdById(ident)->handler());
        QVERIFY(!dataPrj.cmdById(orphan)->handler());

        TWgtConfig page;
        page.setCfgId(a);
        page.setCmdList(dataPrj.cmdsOfCfg(a));
        page.showPageParam();
        page.resize(700, 400);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QSignalSpy view(&page, &TWgtConfig::signalSetViewParamCmd);
        QSignalSpy select(&page, &TWgtConfig::signalSelectCmd);

        clickRow(page.cmdList(), 2);
        QPointer<QWidget> first = page.openForm();
        auto *form = qobject_cast<TTestDevForm *>(first.data());
        QVERIFY(form);
        QCOMPARE(form->edit->text(), QStringLiteral("11"));
        QCOMPARE(select.last(), QList<QVariant>({a, ident}));
        clickRow(page.cmdList(), 3);
        form = qobject_cast<TTestDevForm *>(page.openForm());
        QVERIFY(form && form != first);
        QCOMPARE(form->edit->text(), QStringLiteral("22"));
        QCOMPARE(page.openForm()->parentWidget()->layout()->count(), 1);
        deleteLaterNow();
        QVERIFY(first.isNull());

        // A change in the form is in the project as soon as its emit returns.
        form->edit->setFocus();
        form->edit->selectAll();
        QTest::keyClicks(form->edit, QStringLiteral("77"));
        QTest::keyClick(form->edit, Qt::Key_Return);
        QCOMPARE(dataPrj.cmdById(erase)->params().value(FORM_KEY).toString(), QStringLiteral("77"));

        // The form of the current row only: another row's summary keeps its
        // own value while the form shows something else.
        form->edit->setText(QStringLiteral("unsaved"));
        page.updateCmdRow(dataPrj.cmdById(ident)->toHash());
        QCOMPARE(page.cmdList()->table()->item(2, 2)->text(), QStringLiteral("value=11"));
        page.updateCmdRow(dataPrj.cmdById(erase)->toHash());
        QCOMPARE(page.cmdList()->table()->item(3, 2)->text(), QStringLiteral("value=unsaved"));

        // A row without a provider: no form, both signals.
        TWgtConfig other;
        other.setCfgId(b);
        other.setCmdList(dataPrj.cmdsOfCfg(b));
        QSignalSpy otherView(&other, &TWgtConfig::signalSetViewParamCmd);
        QSignalSpy otherSelect(&other, &TWgtConfig::signalSelectCmd);
        other.setCmdList(dataPrj.cmdsOfCfg(b));
        QVERIFY(!other.openForm());
        QCOMPARE(otherView.count(), 1);
        QCOMPARE(otherSelect.last(), QList<QVariant>({b, orphan}));

        screenshot(&page, QStringLiteral("page-form"));

        // A click on a check box disables the command in the project.
        QTest::mouseClick(page.cmdList()->table()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          checkBoxAt(page.cmdList(), 3));
        QVERIFY(!dataPrj.cmdById(erase)->status());
        QVERIFY(!page.cmdList()->isRowChecked(3));
        QVERIFY(view.count() >= 2);
    }

    void pageDropsDeviceRowsOnANewDevice()
    {
        appData.cmdDelCmdDev = true;
        const int a = dataPrj.addCfg(QStringLiteral("A"), QString());
        addCmd(a, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Box")}});
        const int dev = addSetDevice(a);
        addCmd(a, QStringLiteral("ident"));
        addCmd(a, QStringLiteral("erase"));
        addCmd(a, CMD_DELAY);
        const int dev2 = addSetDevice(a);
        addCmd(a, QStringLiteral("ident"));
        dataPrj.validateAll();
        TWgtConfig page;
        page.setCfgId(a);
        page.setCmdList(dataPrj.cmdsOfCfg(a));
        const QList<int> all = cmdIds(a);

        // A change that chooses no device removes nothing.
        page.slotChangedCmdParam({{REC_ID_CMD, dev}, {SET_DEVICE_FILE, QStringLiteral("chipF.dev")}});
        QCOMPARE(rowIds(page.cmdList()), all);
        page.slotChangedCmdParam({{REC_ID_CMD, dev}, {SET_DEVICE_DEVICE, QStringLiteral("ChipF")},
                                  {SET_DEVICE_FILE, QStringLiteral("chipF.dev")}});
        QVERIFY(cmdIds(a).size() < all.size());
        QVERIFY(cmdIds(a).contains(dev2));
        QCOMPARE(rowIds(page.cmdList()), cmdIds(a));

        // The walk itself.
        QCOMPARE(rowsToDrop({1, 2, 3, 4}, {1, 4}), QList<int>({1, 1}));
        QCOMPARE(rowsToDrop({1, 2, 3}, {1, 2}), QList<int>({2}));
        QCOMPARE(rowsToDrop({5, 6}, {}), QList<int>({0, 0}));
        QCOMPARE(rowsToDrop({1, 2}, {1, 2}), QList<int>());
    }

    void pageDescriptionAndJumpHighlight()
    {
        appData.cmdEnableHLJamp = true;
        const int a = dataPrj.addCfg(QStringLiteral("A"), QStringLiteral("two|nlines"));
        const int b = dataPrj.addCfg(QStringLiteral("B"), QString());
        const int d1 = addCmd(a, CMD_DELAY);
        const int d2 = addCmd(a, CMD_DELAY);
        const int jump = addCmd(a, CMD_JAMP, {{JAMP_TO_CMD, d2}});
        const int far = addCmd(b, CMD_DELAY);
        const int jumpFar = addCmd(a, CMD_JAMP, {{JAMP_TO_CMD, far}});
        // A jump without a target (a hand-edited file) names no command, not d1.
        const int jumpBare = dataPrj.addCmd({{REC_ID_CFG, a}, {REC_STATUS, 1}, {REC_CMD, CMD_JAMP}});
        Q_UNUSED(d1)
        dataPrj.validateAll();
        TWgtConfig page;
        page.setCfgId(a);
        page.setDescription(QStringLiteral("two|nlines"));
        QCOMPARE(page.descriptionEditor()->toPlainText(), QStringLiteral("two\nlines"));
        dataPrj.resetModified();
        page.setDescription(QStringLiteral("two|nlines"));
        QVERIFY(!dataPrj.isModified());
        page.descriptionEditor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(page.descriptionEditor(), QStringLiteral("!"));
        QVERIFY(dataPrj.isModified());
        QCOMPARE(dataPrj.cfgById(a)->description(), QStringLiteral("two|nlines!"));

        page.setCmdList(dataPrj.cmdsOfCfg(a));
        auto bold = [&page](int row) { return page.cmdList()->table()->item(row, 1)->font().bold(); };
        page.setCurrentRow(dataPrj.cmdRowInCfg(a, jump));
        QVERIFY(bold(1) && !bold(0) && !bold(2));
        for (int jumpNone : {jumpFar, jumpBare}) {
            page.setCurrentRow(dataPrj.cmdRowInCfg(a, jump));
            page.setCurrentRow(dataPrj.cmdRowInCfg(a, jumpNone));
            for (int r = 0; r < page.cmdList()->rowCount(); ++r)
                QVERIFY(!bold(r));
        }
        appData.cmdEnableHLJamp = false;
        page.setCurrentRow(dataPrj.cmdRowInCfg(a, jump));
        QVERIFY(!bold(1));
    }

    // ---- Project view ------------------------------------------------------------------

    void projectViewTabsFollowTheProject()
    {
        TWgtPrj view;
        QCOMPARE(view.currentCfgId(), -1);
        QCOMPARE(view.currentCmdId(), -1);
        QCOMPARE(view.currentRow(), -1);
        QVERIFY(view.currentCmdCode().isEmpty());
        QVERIFY(!view.tabWidget()->isVisibleTo(&view));

        QList<int> ids;
        for (const char *name : {"one", "two", "three"}) {
            ids << dataPrj.addCfg(QString::fromLatin1(name), QString());
            addCmd(ids.last(), CMD_DELAY);
        }
        appData.windowMainCfgSplitter = {300, 200};
        view.rebuild();
        view.resize(900, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto same = [&view] {
            if (view.tabWidget()->count() != dataPrj.cfgList().size())
                return false;
            for (int i = 0; i < view.tabWidget()->count(); ++i)
                if (view.cfgIdAt(i) != dataPrj.cfgIdAt(i)
                    || view.tabWidget()->tabText(i) != dataPrj.cfgName(view.cfgIdAt(i)))
                    return false;
            return true;
        };
        QVERIFY(same());
        screenshot(&view, QStringLiteral("view-tabs"));
        const int added = dataPrj.addCfg(QStringLiteral("between"), QString(), 1);
        view.addCfgPage(1, added, QStringLiteral("between"), QString());
        QVERIFY(same());
        dataPrj.removeCfg(ids.at(0));
        view.removeCfgTab(ids.at(0));
        QVERIFY(same());

        // A drag of the second tab before the first moves the configuration.
        dataPrj.resetModified();
        QTabBar *bar = view.tabBar();
        const int movedId = view.cfgIdAt(1);
        drag(bar, bar->tabRect(1).center(), bar->tabRect(0).topLeft() + QPoint(2, 5));
        QTRY_COMPARE(view.cfgIdAt(0), movedId);
        QVERIFY(same());
        QVERIFY(dataPrj.isModified());

        // One splitter layout for every page.
        QSignalSpy moved(&view, &TWgtPrj::signalSplitterCfgMoved);
        TWgtConfig *page = view.currentPage();
        QSplitter *split = page->splitter();
        QWidget *handle = split->handle(1);
        drag(handle, handle->rect().center(), handle->rect().center() + QPoint(-80, 0));
        QVERIFY(moved.count() > 0);
        const TSplitterPos sizes = moved.last().at(0).value<TSplitterPos>();
        QCOMPARE(sizes, split->sizes());
        view.setSplitterSizes(sizes);
        for (int i = 0; i < view.tabWidget()->count(); ++i) {
            view.tabWidget()->setCurrentIndex(i);
            QTRY_COMPARE(view.cfgPage(i)->splitterSizes(), sizes);
        }
        view.tabWidget()->setCurrentIndex(0);

        // Tab colours by state; a reset gives the palette colour back.
        appData.execTabColorExecute = QColor(1, 100, 1);
        appData.execTabColorPause = QColor(2, 100, 2);
        appData.execTabColorSuccess = QColor(3, 100, 3);
        appData.execTabColorFailed = QColor(4, 100, 4);
        const QColor normal = QApplication::palette().color(QPalette::WindowText);
        const QList<int> tabs = {view.cfgIdAt(0), view.cfgIdAt(1), view.cfgIdAt(2)};
        const int states[] = {EXEC_STATE_PAUSED, EXEC_STATE_FAILED, 9};
        const QColor expect[] = {QColor(2, 100, 2), QColor(4, 100, 4), normal};
        for (int i = 0; i < 3; ++i)
            dataPrj.setCfgExecState(tabs.at(i), states[i]);
        view.updateTabColors();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(bar->tabTextColor(i), expect[i]);
        view.slotSetViewParamPrj();
        screenshot(&view, QStringLiteral("view-tab-colours-description"));
        view.resetTabColor(tabs.at(0));
        QCOMPARE(bar->tabTextColor(0), normal);

        view.selectCfgCmd(-1, 0);
        QCOMPARE(view.currentIndex(), 0);
        view.selectCfgCmd(2, -1);
        QCOMPARE(view.currentIndex(), 2);
        view.clear();
        QCOMPARE(view.currentCfgId(), -1);
        QVERIFY(!view.tabWidget()->isVisibleTo(&view));
    }

    void projectViewRefreshesRowsOnParameterChanges()
    {
        const int a = dataPrj.addCfg(QStringLiteral("A"), QString());
        addCmd(a, CMD_SET_PROG, {{SET_PROG_PROG, QStringLiteral("Box")}});
        const int dev = addSetDevice(a);
        addCmd(a, QStringLiteral("ident"), {{FORM_KEY, QStringLiteral("5")}});
        const int delay = addCmd(a, CMD_DELAY, {{DELAY_VALUE, 10}});
        dataPrj.validateAll();
        TWgtPrj view;
        connect(&dataPrj, &TDataPrj::signalChangeData, &view, &TWgtPrj::slotUpdateGUI,
                Qt::QueuedConnection);
        view.rebuild();
        TWgtCmdList *list = view.cfgPage(0)->cmdList();
        QSignalSpy select(&view, &TWgtPrj::signalSelectCmd);
        auto stale = [list] {
            for (int r = 0; r < list->rowCount(); ++r)
                list->setRowText(r, QStringLiteral("stale"));
        };

        // Codes other than 12 change nothing; 12 refreshes the delay's row only.
        stale();
        dataPrj.setCmdParam(delay, {{REC_ID_CMD, delay}, {DELAY_VALUE, 250}});
        view.slotUpdateGUI(TCodeView(11), dataPrj.cmdById(delay)->toHash());
        QCOMPARE(rowTexts(list).count(QStringLiteral("stale")), 4);
        QTRY_COMPARE(list->table()->item(3, 2)->text(), QStringLiteral("250 ms"));
        QCOMPARE(rowTexts(list).count(QStringLiteral("stale")), 3);
        QCOMPARE(select.count(), 0);

        // A device change refreshes the whole configuration and reports it.
        stale();
        dataPrj.setCmdParam(dev, {{REC_ID_CMD, dev}, {SET_DEVICE_DEVICE, QStringLiteral("ChipF")},
                                  {SET_DEVICE_FILE, QStringLiteral("chipF.dev")}});
        QTRY_COMPARE(select.count(), 1);
        QCOMPARE(select.last(), QList<QVariant>({a, dev}));
        QCOMPARE(rowTexts(list).count(QStringLiteral("stale")), 0);
        QCOMPARE(list->table()->item(2, 2)->text(), QStringLiteral("value=5"));
    }
};

QTEST_MAIN(TestViews)
#include "test_views.moc"
