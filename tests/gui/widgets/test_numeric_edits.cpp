#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>

#include <limits>
#include <memory>

#include "core/helpers.h"
#include "gui/main/startup.h"
#include "gui/widgets/TWgtEditDec.h"
#include "gui/widgets/TWgtEditDec2.h"
#include "gui/widgets/TWgtEditDec64.h"
#include "gui/widgets/TWgtEditDouble.h"
#include "gui/widgets/TWgtEditHex.h"
#include "gui/widgets/TWgtEditHex64.h"
#include "gui/widgets/TWgtEditStrHex.h"
#include "gui/widgets/widget_messages.h"

#include "support/NumberedLanguage.h"
#include "support/edit_test_util.h"

namespace {
const int intMax = std::numeric_limits<int>::max();
const int intMin = std::numeric_limits<int>::min();
const qint64 int64Max = std::numeric_limits<qint64>::max();
const qint64 int64Min = std::numeric_limits<qint64>::min();
}

class TestNumericEdits : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(NumberedLanguage::loadWithArguments()); }
    void decRangeAndNegation();
    void decFinishedEntry();
    void decKeys();
    void decMagnitudeStep();
    void decNeverWraps();
    void decColour();
    void typedOutsideRefused_data();
    void typedOutsideRefused();
    void dec2NearestRange();
    void dec64Clamp();
    void hexEdit();
    void hexWideEntryRefused();
    void hex64Edit();
    void doublePrecision();
    void doubleLargeValuesClamp();
    void strHexLength();
    void strHexTypedOver_data();
    void strHexTypedOver();
    void strHexContextMenuPaste();
    void keysOfOtherEditIgnored();
};

void TestNumericEdits::decRangeAndNegation()
{
    TWgtEditDec edit(50);
    edit.setRange(1, 100);
    QSignalSpy spy(&edit, &TWgtEditDec::valueChanged);

    // Values set become their negation in range, else the nearer bound
    // (entries outside are refused: typedOutsideRefused).
    edit.setValue(-5);
    QCOMPARE(edit.value(), 5);
    QCOMPARE(lineOf(&edit)->text(), QString("5"));
    edit.setValue(200);
    QCOMPARE(edit.value(), 100);
    edit.setValue(0);
    QCOMPARE(edit.value(), 1);
    edit.setValue(-150);
    QCOMPARE(edit.value(), 1);
    // -150 gave 1 again: no change, no signal.
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toInt(), 5);
    QCOMPARE(spy.at(1).at(0).toInt(), 100);
    QCOMPARE(spy.at(2).at(0).toInt(), 1);

    // The negation of the smallest int is no int: the bound is taken.
    edit.setRange(0, 10);
    edit.setValue(intMin);
    QCOMPARE(edit.value(), 0);
}

void TestNumericEdits::decFinishedEntry()
{
    TWgtEditDec edit(5);
    edit.setRange(0, 10);
    QSignalSpy spy(&edit, &TWgtEditDec::valueChanged);

    // The stored value in another form: nothing happens, the text stays.
    enter(&edit, "05");
    QCOMPARE(spy.count(), 0);
    QCOMPARE(lineOf(&edit)->text(), QString("05"));

    edit.setValue(3);
    QCOMPARE(spy.count(), 1);
    enter(&edit, "");
    QCOMPARE(edit.value(), 0);
    QCOMPARE(lineOf(&edit)->text(), QString("0"));
    QCOMPARE(spy.count(), 2);
    enter(&edit, "");
    QCOMPARE(spy.count(), 2);
    QCOMPARE(lineOf(&edit)->text(), QString());

    // A lone minus sign is no entry: it stays refused, and leaving shows
    // the value again.
    edit.setValue(7);
    enter(&edit, "-");
    QCOMPARE(edit.value(), 7);
    QCOMPARE(lineOf(&edit)->text(), QString("-"));
    QVERIFY(edit.isRefused());
    leave(&edit);
    QCOMPARE(lineOf(&edit)->text(), QString("7"));
}

void TestNumericEdits::decKeys()
{
    TWgtEditDec edit(5);
    edit.setRange(0, 10);
    edit.setDefault(8);
    QSignalSpy spy(&edit, &TWgtEditDec::valueChanged);

    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), 6);
    press(&edit, Qt::Key_Down);
    press(&edit, Qt::Key_Down);
    QCOMPARE(edit.value(), 4);
    press(&edit, Qt::Key_Asterisk);
    QCOMPARE(edit.value(), 8);
    QCOMPARE(lineOf(&edit)->text(), QString("8"));
    QCOMPARE(spy.count(), 4);
    // '*' on the default changes nothing.
    press(&edit, Qt::Key_Asterisk);
    QCOMPARE(spy.count(), 4);

    // The keys act on the text as typed, not yet finished.
    QLineEdit *line = lineOf(&edit);
    line->setText("2");
    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), 3);
}

void TestNumericEdits::decMagnitudeStep()
{
    TWgtEditDec edit(-3);
    edit.setRange(-10, -1);
    edit.setMagnitudeStep(true);

    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), -4);
    edit.setValue(-3);
    press(&edit, Qt::Key_Down);
    QCOMPARE(edit.value(), -2);
    // Down on -1 asks for 0, above the range; its negation is 0 too.
    edit.setValue(-1);
    press(&edit, Qt::Key_Down);
    QCOMPARE(edit.value(), -1);
}

void TestNumericEdits::decNeverWraps()
{
    // Up on the largest int must not wrap to the smallest (nor reach it
    // through the negation rule).
    TWgtEditDec edit(intMax);
    QSignalSpy spy(&edit, &TWgtEditDec::valueChanged);
    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), intMax);
    QCOMPARE(spy.count(), 0);

    edit.setValue(intMin);
    spy.clear();
    press(&edit, Qt::Key_Down);
    QCOMPARE(edit.value(), intMin);
    QCOMPARE(spy.count(), 0);

    edit.setMagnitudeStep(true);
    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), intMin);
}

void TestNumericEdits::decColour()
{
    TWgtEditDec edit(50);
    edit.setRange(0, 100);
    QCOMPARE(baseOf(&edit), paletteBaseColor());
    // A later range keeps the value and shows it in the error colour.
    edit.setRange(0, 10);
    QCOMPARE(edit.value(), 50);
    QCOMPARE(lineOf(&edit)->text(), QString("50"));
    QCOMPARE(baseOf(&edit), warningColor());
    enter(&edit, "7");
    QCOMPARE(baseOf(&edit), paletteBaseColor());
}

namespace {

// A decimal edit over 1..100 holding 50, with magnitude steps over -1000..-1
// holding -400, or over -1000..-10 and 10..1000 holding -400.
std::unique_ptr<TWgtEditInt> intEdit(const QString &kind)
{
    if (kind == "dec2") {
        auto e = std::make_unique<TWgtEditDec2>(-400);
        e->addRange(-1000, -10);
        e->addRange(10, 1000);
        e->setMagnitudeStep(true);
        return e;
    }
    auto e = std::make_unique<TWgtEditDec>(kind == "dec" ? 50 : -400);
    kind == "dec" ? e->setRange(1, 100) : e->setRange(-1000, -1);
    e->setMagnitudeStep(kind == "magnitude");
    return e;
}

} // namespace

// An entry outside the allowed values is refused: nothing is stored or
// emitted, the line keeps it marked with the range and the value kept, Up
// leaves it alone, and leaving the line shows the stored value again. With
// magnitude steps a magnitude takes the field's sign. (One past each end
// of every field of every form: test_refused_entries.)
void TestNumericEdits::typedOutsideRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("taken");   // the value then stored; empty: refused
    QTest::addColumn<QString>("range");
    QTest::newRow("dec above") << "dec" << "200" << "" << "1..100";
    QTest::newRow("magnitude takes the sign") << "magnitude" << "500" << "-500" << "";
    QTest::newRow("magnitude too large") << "magnitude" << "5000" << "" << "-1000..-1";
    QTest::newRow("two ranges between") << "dec2" << "5" << "" << "-1000..-10, 10..1000";
}

void TestNumericEdits::typedOutsideRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, entry);
    QFETCH(QString, taken);
    QFETCH(QString, range);
    const std::unique_ptr<TWgtEditInt> edit = intEdit(kind);
    QSignalSpy changes(edit.get(), &TWgtEditInt::valueChanged);
    const int before = edit->value();
    QLineEdit *line = lineOf(edit.get());

    enter(edit.get(), entry);
    if (!taken.isEmpty()) {
        QCOMPARE(QString::number(edit->value()), taken);
        QCOMPARE(changes.count(), 1);
        QVERIFY(!edit->isRefused());
        return;
    }
    const QString kept = QString::number(before);
    for (int step = 0; step < 2; ++step) {
        QCOMPARE(edit->value(), before);
        QCOMPARE(line->text(), entry);
        QVERIFY(edit->isRefused());
        QCOMPARE(baseOf(edit.get()), warningColor());
        QCOMPARE(line->toolTip(), NumberedLanguage::textWithArguments(MSG_ENTRY_OUT_OF_RANGE).arg(range, entry, kept));
        press(edit.get(), Qt::Key_Up);   // no step from a refused entry
    }
    leave(edit.get());
    QCOMPARE(line->text(), kept);
    QCOMPARE(edit->value(), before);
    QCOMPARE(changes.count(), 0);
    QVERIFY(!edit->isRefused());
    QCOMPARE(baseOf(edit.get()), paletteBaseColor());
    QVERIFY(line->toolTip().isEmpty());
}

void TestNumericEdits::dec2NearestRange()
{
    TWgtEditDec2 edit(0);
    QSignalSpy spy(&edit, &TWgtEditDec2::valueChanged);
    // No range at all: every value stays, shown as an error.
    enter(&edit, "7");
    QCOMPARE(edit.value(), 7);
    QCOMPARE(baseOf(&edit), warningColor());

    edit.addRange(1, 5);
    edit.addRange(10, 20);
    QCOMPARE(edit.value(), 7);
    QCOMPARE(baseOf(&edit), warningColor());
    edit.setValue(6);
    QCOMPARE(edit.value(), 5);
    QCOMPARE(baseOf(&edit), paletteBaseColor());
    edit.setValue(8);
    QCOMPARE(edit.value(), 10);
    edit.setValue(-12);
    QCOMPARE(edit.value(), 12);
    enter(&edit, "15");
    QCOMPARE(edit.value(), 15);
    edit.setValue(-1000);
    QCOMPARE(edit.value(), 1);
    // Typed, a value in no range is refused.
    enter(&edit, "8");
    QCOMPARE(edit.value(), 1);
    QCOMPARE(spy.count(), 6);

    // A tie goes to the range added first.
    TWgtEditDec2 tie(0);
    tie.addRange(0, 0);
    tie.addRange(2, 2);
    tie.setValue(1);
    QCOMPARE(tie.value(), 0);

    // Distances in 64 bits: a range at the far end stays far.
    TWgtEditDec2 far(0);
    far.addRange(intMin, intMin + 1);
    far.addRange(intMax - 1, intMax);
    far.setValue(100);
    QCOMPARE(far.value(), intMax - 1);
}

void TestNumericEdits::dec64Clamp()
{
    TWgtEditDec64 edit(5);
    edit.setRange(1, 100);
    QSignalSpy spy(&edit, &TWgtEditDec64::valueChanged);
    // No negation rule here: below the range is the minimum.
    edit.setValue(-5);
    QCOMPARE(lineOf(&edit)->text(), QString("1"));
    QCOMPARE(edit.value(), qint64(1));
    edit.setValue(5000000000LL);
    QCOMPARE(edit.value(), qint64(100));
    QCOMPARE(spy.count(), 2);

    TWgtEditDec64 big(int64Max);
    QSignalSpy bigSpy(&big, &TWgtEditDec64::valueChanged);
    press(&big, Qt::Key_Up);
    QCOMPARE(big.value(), int64Max);
    big.setValue(int64Min);
    press(&big, Qt::Key_Down);
    QCOMPARE(big.value(), int64Min);
    QCOMPARE(bigSpy.count(), 1);
}

void TestNumericEdits::hexEdit()
{
    TWgtEditHex edit(0x1F);
    QCOMPARE(lineOf(&edit)->text(), QString("0x1F"));
    edit.setRange(0, 0xFFFF);
    edit.setDefault(0x1234);
    QSignalSpy spy(&edit, &TWgtEditHex::valueChanged);

    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), 0x20);
    QCOMPARE(lineOf(&edit)->text(), QString("0x20"));
    press(&edit, Qt::Key_Asterisk);
    QCOMPARE(edit.value(), 0x1234);
    enter(&edit, "ab");
    QCOMPARE(edit.value(), 0xAB);
    QCOMPARE(lineOf(&edit)->text(), QString("0xAB"));
    edit.setValue(0x10000);
    QCOMPARE(edit.value(), 0xFFFF);
    QCOMPARE(spy.count(), 4);

    // Small values keep two digits.
    edit.setValue(10);
    QCOMPARE(lineOf(&edit)->text(), QString("0x0A"));

    // A negative value shows as its two's complement and reads back as it.
    TWgtEditHex negative(-1);
    QSignalSpy negSpy(&negative, &TWgtEditHex::valueChanged);
    emit lineOf(&negative)->editingFinished();
    QCOMPARE(negative.value(), -1);
    QCOMPARE(negSpy.count(), 0);
}

void TestNumericEdits::hexWideEntryRefused()
{
    // Up to 16 digits can be typed; a number past the int range is no
    // value of the edit, never its low 32 bits nor the nearer bound.
    TWgtEditHex edit(0);
    edit.setRange(0, 255);
    enter(&edit, "1FFFFFFFF");
    QCOMPARE(edit.value(), 0);

    TWgtEditHex full(0);
    enter(&full, "FFFFFFFF");
    QCOMPARE(full.value(), 0);
    enter(&full, "7FFFFFFF");
    QCOMPARE(full.value(), intMax);
    // Up on the largest int stays there.
    press(&full, Qt::Key_Up);
    QCOMPARE(full.value(), intMax);
    QCOMPARE(lineOf(&full)->text(), QString("0x7FFFFFFF"));
}

void TestNumericEdits::hex64Edit()
{
    TWgtEditHex64 edit(0);
    QSignalSpy spy(&edit, &TWgtEditHex64::valueChanged);
    enter(&edit, "FFFFFFFFFFFFFFFF");
    QCOMPARE(edit.value(), qint64(-1));
    enter(&edit, "7FFFFFFFFFFFFFFF");
    QCOMPARE(edit.value(), int64Max);
    press(&edit, Qt::Key_Up);
    QCOMPARE(edit.value(), int64Max);
    QCOMPARE(spy.count(), 2);

    edit.setRange(0x100, 0x1FF);
    QCOMPARE(baseOf(&edit), warningColor());
    edit.setValue(0);
    QCOMPARE(edit.value(), qint64(0x100));
    QCOMPARE(lineOf(&edit)->text(), QString("0x100"));
    QCOMPARE(baseOf(&edit), paletteBaseColor());
}

void TestNumericEdits::doublePrecision()
{
    TWgtEditDouble edit(1.0, 2);
    QCOMPARE(lineOf(&edit)->text(), QString("1.00"));
    edit.setRange(0.0, 5.5);
    QSignalSpy spy(&edit, &TWgtEditDouble::valueChanged);

    // More decimals than the edit holds: refused, never rounded; a zero
    // behind them rounds nothing.
    enter(&edit, "1.234");
    QCOMPARE(edit.value(), 1.0);
    QVERIFY(edit.isRefused());
    QCOMPARE(lineOf(&edit)->toolTip(),
             NumberedLanguage::textWithArguments(MSG_ENTRY_TOO_PRECISE).arg("0.00..5.50", "1.234", "1.00"));
    enter(&edit, "1.230");
    QCOMPARE(edit.value(), 1.23);
    // A point that no digit follows is no mark while typed; leaving the
    // line takes the number.
    QTest::keyClicks(erase(&edit), "2.");
    QVERIFY(!edit.isRefused());
    leave(&edit);
    QCOMPARE(edit.value(), 2.0);
    QCOMPARE(lineOf(&edit)->text(), QString("2.00"));
    QCOMPARE(spy.count(), 2);

    edit.setValue(6);
    QCOMPARE(edit.value(), 5.5);
    edit.setValue(-1);
    QCOMPARE(edit.value(), 0.0);
    edit.setValue(1.23);
    press(&edit, Qt::Key_Up);
    QCOMPARE(lineOf(&edit)->text(), QString("1.24"));
    QVERIFY(qAbs(edit.value() - 1.24) < 1e-9);
    QCOMPARE(spy.count(), 6);

    // Out of range after a new range: error colour, value kept.
    edit.setRange(2.0, 3.0);
    QCOMPARE(baseOf(&edit), warningColor());
    // The range bound itself is in range even when rounding is involved.
    edit.setValue(2.0);
    QCOMPARE(baseOf(&edit), paletteBaseColor());
}

void TestNumericEdits::doubleLargeValuesClamp()
{
    // 25000000 at two decimals is 2.5e9 units, past the int range: it must
    // still count as above the maximum.
    TWgtEditDouble edit(0.0, 2);
    edit.setRange(-100.0, 100.0);
    enter(&edit, "25000000");
    QCOMPARE(edit.value(), 0.0);
    enter(&edit, "-25000000");
    QCOMPARE(edit.value(), 0.0);
    edit.setValue(25000000);
    QCOMPARE(edit.value(), 100.0);
    edit.setValue(-25000000);
    QCOMPARE(edit.value(), -100.0);
    edit.setValue(1e300);
    QCOMPARE(edit.value(), 100.0);

    // Not a number is never stored.
    edit.setValue(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(edit.value(), 100.0);
    QCOMPARE(lineOf(&edit)->text(), QString("100.00"));
}

void TestNumericEdits::strHexLength()
{
    TWgtEditStrHex edit("ABCD");
    QSignalSpy spy(&edit, &TWgtEditStrHex::valueChanged);

    // A short entry is not taken: the stored value is shown again.
    enter(&edit, "1");
    QCOMPARE(edit.value(), QString("ABCD"));
    QCOMPARE(lineOf(&edit)->text(), QString("ABCD"));
    QCOMPARE(spy.count(), 0);
    // Digits beyond the length cannot be typed.
    enter(&edit, "123456");
    QCOMPARE(edit.value(), QString("1234"));
    QCOMPARE(lineOf(&edit)->text(), QString("1234"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("1234"));

    // g cannot be typed; ab is upper-cased while it is typed.
    QLineEdit *line = lineOf(&edit);
    line->clear();
    QTest::keyClicks(line, "agb");
    QCOMPARE(line->text(), QString("AB"));
    QCOMPARE(line->displayText(), QString("AB__"));
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(edit.value(), QString("1234"));
    QCOMPARE(line->text(), QString("1234"));

    // The same value again changes nothing; another length is the new
    // length of every entry.
    spy.clear();
    edit.setValue("1234");
    QCOMPARE(spy.count(), 0);
    edit.setValue("00FF00");
    QCOMPARE(line->text(), QString("00FF00"));
    QCOMPARE(spy.count(), 1);
    enter(&edit, "abcdef");
    QCOMPARE(edit.value(), QString("ABCDEF"));
    // A value of no digits leaves nothing to type.
    TWgtEditStrHex empty("");
    QTest::keyClicks(lineOf(&empty), "12");
    QTest::keyClick(lineOf(&empty), Qt::Key_Return);
    QCOMPARE(empty.value(), QString());
    QCOMPARE(lineOf(&empty)->text(), QString());
}

// Each row starts from a line showing 62D9FF: the cursor is put by keys
// (Home, Right), or the whole line selected (-1); then a paste (Ctrl+V) or
// the keys ('\b' Backspace, '\x7f' Delete), then Return or Tab.
void TestNumericEdits::strHexTypedOver_data()
{
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("paste");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<QString>("shown");   // before Return or Tab
    QTest::addColumn<QString>("stored");
    const QString none;
    // The register forms' table (test_hex_entry_forms) has the deleted
    // digit, the short entry, the whole entry and the whole paste; these
    // are the edit's own corners.
    QTest::newRow("deleted digit typed again") << 3 << none << "\b7" << false << "6279FF" << "6279FF";
    QTest::newRow("Backspace at the start") << 0 << none << "\b" << false << "62D9FF" << "62D9FF";
    QTest::newRow("Delete at the end") << 6 << none << "\x7f" << false << "62D9FF" << "62D9FF";
    QTest::newRow("digit at the end of a full line") << 6 << none << "1" << false << "62D9FF" << "62D9FF";
    QTest::newRow("Delete, then Tab") << 1 << none << "\x7f" << true << "6_D9FF" << "62D9FF";
    QTest::newRow("whole value pasted with white space") << 6 << " e2 d9 ff\n" << none << false << "E2D9FF" << "E2D9FF";
    QTest::newRow("one byte pasted at the cursor") << 2 << "ab" << none << false << "62ABFF" << "62ABFF";
    QTest::newRow("one byte that does not fit") << 5 << "ab" << none << false << "62D9FF" << "62D9FF";
}

void TestNumericEdits::strHexTypedOver()
{
    QFETCH(int, cursor);
    QFETCH(QString, paste);
    QFETCH(QString, keys);
    QFETCH(bool, tab);
    QFETCH(QString, shown);
    QFETCH(QString, stored);

    QWidget window;
    auto *edit = new TWgtEditStrHex("62D9FF", &window);
    auto *next = new QLineEdit(&window);
    next->move(0, 30);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy spy(edit, &TWgtEditStrHex::valueChanged);
    QLineEdit *line = lineOf(edit);
    line->setFocus();
    QVERIFY(line->hasFocus());

    editAt(line, cursor, paste, keys);
    QCOMPARE(line->displayText(), shown);
    const bool blank = shown.contains(QLatin1Char('_'));
    const bool refused = !paste.isNull() && shown == QLatin1String("62D9FF");
    QCOMPARE(edit->isComplete(), !blank);
    QCOMPARE(baseOf(edit) == warningColor(), blank || refused);
    const int typed = 6 - shown.count(QLatin1Char('_'));
    QCOMPARE(line->toolTip(),
             refused ? NumberedLanguage::textWithArguments(MSG_PASTE_NOT_TAKEN).arg(paste).arg(6 - cursor).arg("62D9FF")
             : blank ? NumberedLanguage::textWithArguments(MSG_HEX_ENTRY_INCOMPLETE).arg(typed).arg(6) : QString());
    QCOMPARE(edit->value(), QString("62D9FF"));   // nothing is stored while typing
    QCOMPARE(spy.count(), 0);

    if (tab) {
        QTest::keyClick(line, Qt::Key_Tab);
        QVERIFY(next->hasFocus());
    } else {
        QTest::keyClick(line, Qt::Key_Return);
    }
    QCOMPARE(edit->value(), stored);
    QCOMPARE(spy.count(), stored == QLatin1String("62D9FF") ? 0 : 1);
    QCOMPARE(line->displayText(), stored);
    QCOMPARE(baseOf(edit) == warningColor(), false);
    QCOMPARE(line->toolTip(), QString());
}

// The context menu's Paste follows the same rule as the keys: a whole
// value replaces the line wherever the cursor is, other text is refused;
// so it does under Qt's Russian texts.
void TestNumericEdits::strHexContextMenuPaste()
{
    const struct
    {
        QLocale::Language language;
        const char *paste;   // the menu entry's text begins so
    } menus[] = {{QLocale::C, "&Paste"}, {QLocale::Russian, "В&ставить"}};
    for (const auto &m : menus) {
        installQtTranslations(QLocale(m.language));
        TWgtEditStrHex edit("62D9FF");
        edit.show();
        QLineEdit *line = lineOf(&edit);
        const QPair<QString, QString> pastes[] = {{"0x62D9FE", "62D9FF"}, {"E2D9FF", "E2D9FF"}};
        for (const auto &p : pastes) {
            QGuiApplication::clipboard()->setText(p.first);
            line->setCursorPosition(4);
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), line->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(line, &event);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QAction *pasteAction = nullptr;
            for (QAction *action : menu->actions())
                if (action->text().startsWith(QString::fromUtf8(m.paste)))
                    pasteAction = action;
            QVERIFY2(pasteAction && pasteAction->isEnabled(), m.paste);
            pasteAction->trigger();
            menu->close();
            QCOMPARE(line->displayText(), p.second);
        }
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(edit.value(), QString("E2D9FF"));
    }
    installQtTranslations(QLocale::c());
}

void TestNumericEdits::keysOfOtherEditIgnored()
{
    // Each edit filters the whole application: it must act only on key
    // presses sent to its own line edit.
    TWgtEditDec first(1);
    TWgtEditDec second(1);
    QSignalSpy spy(&second, &TWgtEditDec::valueChanged);
    press(&first, Qt::Key_Up);
    QCOMPARE(first.value(), 2);
    QCOMPARE(second.value(), 1);
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(&first, Qt::Key_Up);
    QCOMPARE(first.value(), 2);
}

QTEST_MAIN(TestNumericEdits)
#include "test_numeric_edits.moc"
