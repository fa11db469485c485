// The register mark-up form and its items: every token, the failures and
// what survives them, the image arithmetic of the items, the colours under
// the four /Interface settings, the push-back of data a run read, and the
// records stored through the host.

#include "forms_fixture.h"
#include "core/TAppData.h"
#include "gui/forms/TFormDevCfg.h"
#include "gui/forms/TFormDevCfgItems.h"
#include "gui/forms/TFormDevEmpty.h"
#include "gui/widgets/TWgtEditStrHex.h"
#include "gui/widgets/TWgtLabelBtn.h"
#include "misc/dev_misc.h"
#include "support/edit_test_util.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QApplication>
#include <QVBoxLayout>

#include <memory>

using namespace formsfixture;

namespace {

using Form = std::unique_ptr<TFormDevCfg>;

Form build(const QStringList &markup, const QString &data, const QString &byDefault,
           bool showEdit = true, int id = 7)
{
    Form form(new TFormDevCfg(id, data, byDefault, markup, showEdit));
    form->show();
    return form;
}

TFormDevCfgCheckBox *box(QWidget *form, const QString &label)
{
    for (auto *item : form->findChildren<TFormDevCfgCheckBox *>())
        if (item->findChild<TWgtLabelBtn *>()->text() == label)
            return item;
    return nullptr;
}

// The combo item by its label (or, placed as a tool-tip, the box's tip).
TFormDevCfgComboBoxLabel *combo(QWidget *form, const QString &label)
{
    for (auto *item : form->findChildren<TFormDevCfgComboBoxLabel *>())
        if (item->findChild<QLabel *>()->text() == label)
            return item;
    return nullptr;
}

QCheckBox *checkOf(QWidget *item)
{
    return item->findChild<QCheckBox *>();
}

// A user's click on the box (or on its label).
void click(TFormDevCfgCheckBox *item, bool onLabel = false)
{
    QWidget *target = onLabel ? static_cast<QWidget *>(item->findChild<TWgtLabelBtn *>())
                              : static_cast<QWidget *>(checkOf(item));
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
}

QString hexShown(QWidget *form)
{
    return form->findChild<TWgtEditStrHex *>()->value();
}

QString lastData(const FormHost &host)
{
    return host.emitted.isEmpty() ? QStringLiteral("<none>")
                                  : host.emitted.last().value(REG_DATA).toString();
}

QString readLog()
{
    QFile f(logFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

} // namespace

class TestMarkupForm : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        setUp(dir);
        setAppFileLocation(dir.path(), QStringLiteral("markup"));
        appData.cmdParamEnableColorWarning = true;
        appData.cmdParamEnableColorAlarm = true;
        appData.cmdParamColorWarning = QColor(0, 0, 220);
        appData.cmdParamColorAlarm = QColor(220, 0, 0);
    }

    void init()
    {
        QFile::remove(logFilePath());
    }

    // The lines the drivers write, filled in: a status register with an
    // enabled and a fixed bit, a unique ID and a security register box.
    void driverTemplates()
    {
        const QStringList markup{"frm+",
                                 "grp+|Status",
                                 "ckl|01|-|e|-|WIP||",
                                 "ckl|02|-|-|-|WEL||",
                                 "grp-",
                                 "edr|FFFFFFFFFFFFFFFF|ro|-1|Unique ID:",
                                 "ckl|0000000000000004|-|e|-|Security Register #1 (0x000..0x0FF)",
                                 "frm-"};
        Form form = build(markup, "02000000000000A5", "0000000000000000");
        QVERIFY(readLog().isEmpty());
        FormHost host;
        QVERIFY(host.host(form.get()));
        host.store = false;

        auto *group = form->findChild<QGroupBox *>();
        QCOMPARE(group->title(), QStringLiteral(" Status "));
        QVERIFY(!checkOf(box(form.get(), "WIP"))->isChecked());
        QVERIFY(checkOf(box(form.get(), "WEL"))->isChecked());
        QVERIFY(!checkOf(box(form.get(), "WEL"))->isEnabled());
        QVERIFY(box(form.get(), "WIP")->toolTip().isEmpty());
        auto *id = form->findChild<TFormDevCfgEditLabel *>()->findChild<QLineEdit *>();
        QVERIFY(id->isReadOnly());
        QCOMPARE(id->text(), QStringLiteral("02000000000000A5"));
        auto *security = box(form.get(), overlineText("Security Register #1 (0x000..0x0FF)"));
        QVERIFY(security);
        QVERIFY(checkOf(security)->isChecked());   // 0xA5 has bit 2 set
        QVERIFY(host.emitted.isEmpty());           // building reports nothing

        click(box(form.get(), "WIP"));
        QCOMPARE(host.emitted.size(), 1);
        QCOMPARE(keysOf(host.emitted.last()), QStringList({REG_DATA, REC_ID_CMD}));
        QCOMPARE(host.emitted.last().value(REC_ID_CMD).toInt(), 7);
        QCOMPARE(lastData(host), QStringLiteral("03000000000000A5"));
        QCOMPARE(hexShown(form.get()), QStringLiteral("03000000000000A5"));
        click(box(form.get(), "WEL"), true);       // a disabled box ignores its label
        QCOMPARE(host.emitted.size(), 1);
        click(security, true);
        QCOMPARE(lastData(host), QStringLiteral("03000000000000A1"));
        QCOMPARE(id->text(), QStringLiteral("03000000000000A1"));
    }

    // A fuse-style mark-up: tabs, rows, panels, groups, combos of every
    // placement, edits, buttons and the hex row, through the host into the
    // project; showing and deleting a form stores nothing.
    void fuseMarkupThroughHost()
    {
        newProject(dir);
        const int cfg = dataPrj.addCfg(QStringLiteral("main"), QString());
        const int fuse = add(cfg, CMD_FUSE_WRITE, {{REG_DATA, "62D9"}, {"keep", "me"}});
        dataPrj.resetModified();
        const QStringList markup{
            "tabs+",
            "tab+|Low",
            "hor+",
            "pnl+",
            "  ckl | 80 | i | e | A | CKDIV8 | Divide clock by 8  ",
            "ckr|40|i|e|w|CKOUT",
            "pnl-",
            "cbtl+|0F00|Clock source:",
            "cbit|0000|External",
            "cbit|0200|Internal 8 MHz",
            "cbit|0F00|Crystal",
            "cbtl-",
            "hor-",
            "lb|#RESET disabled",
            "tab-",
            "tab+|High",
            "grp+|Boot",
            "cbr+|0006|Boot size",
            "cbit|0000|4096",
            "cbit|0002|2048",
            "cbit|0004|1024",
            "cbit|0006|512",
            "cbr-",
            "cbh+|0100|Hidden label",
            "cbit|0000|on",
            "cbit|0100|off",
            "cbh-",
            "edl|00FF|ro|40|High:",
            "btn|62D9|25|Factory|Factory values",
            "grp-",
            "tab-",
            "tabs-",
        };
        Form form = build(markup, record(fuse).value(REG_DATA).toString(), "62D9");
        QVERIFY2(readLog().isEmpty(), qPrintable(readLog()));
        FormHost host;
        QVERIFY(host.host(form.get()));
        QVERIFY(!dataPrj.isModified());

        auto *tabs = form->findChild<QTabWidget *>();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(1), QStringLiteral("High"));
        QVERIFY(!tabs->isMovable());
        QCOMPARE(form->findChildren<TFormDevCfgComboBoxLabel *>().size(), 3);
        const QList<TFormDevCfgComboBoxLabel *> combos{combo(form.get(), "Clock source:"),
                                                       combo(form.get(), "Boot size"),
                                                       combo(form.get(), "Hidden label")};
        auto comboOf = [](TFormDevCfgComboBoxLabel *item) { return item->findChild<TComboBox *>(); };
        QCOMPARE(comboOf(combos.at(0))->currentText(), QStringLiteral("Internal 8 MHz"));
        QCOMPARE(comboOf(combos.at(1))->currentText(), QStringLiteral("4096"));
        QCOMPARE(comboOf(combos.at(2))->toolTip(), QStringLiteral("Hidden label"));
        QVERIFY(!combos.at(2)->findChild<QLabel *>()->isVisibleTo(combos.at(2)));
        bool overlined = false;
        for (QLabel *l : form->findChildren<QLabel *>())
            overlined |= l->text().contains(QStringLiteral("overline")) && l->text().contains("RESET");
        QVERIFY(overlined);
        QVERIFY(checkOf(box(form.get(), "CKDIV8"))->isChecked());   // inverted, bit 7 of 0x62 is 0
        QCOMPARE(box(form.get(), "CKDIV8")->toolTip(), QString());
        QCOMPARE(checkOf(box(form.get(), "CKDIV8"))->toolTip(), QStringLiteral("Divide clock by 8"));

        comboOf(combos.at(0))->setCurrentIndex(2);   // Crystal: 0x0F under 0x0F
        QCOMPARE(lastData(host), QStringLiteral("6FD9"));
        click(box(form.get(), "CKDIV8"));
        QCOMPARE(lastData(host), QStringLiteral("EFD9"));
        auto *high = form->findChild<TFormDevCfgEditLabel *>()->findChild<QLineEdit *>();
        QCOMPARE(high->text(), QStringLiteral("D9"));
        QCOMPARE(high->width(), 40);

        // The hex row: a typed image refreshes the items; the default
        // button restores the default.
        enter(form->findChild<TWgtEditStrHex *>(), "0203");
        QCOMPARE(lastData(host), QStringLiteral("0203"));
        QCOMPARE(comboOf(combos.at(0))->currentText(), QStringLiteral("Internal 8 MHz"));
        QCOMPARE(high->text(), QStringLiteral("03"));
        const int before = host.emitted.size();
        QPushButton *star = nullptr;
        for (QPushButton *b : form->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("*"))
                star = b;
        QCOMPARE(star->toolTip(), QStringLiteral("Default: 62D9"));
        QTest::mouseClick(star, Qt::LeftButton);
        QCOMPARE(host.emitted.size(), before + 1);
        QCOMPARE(lastData(host), QStringLiteral("62D9"));
        QTest::mouseClick(star, Qt::LeftButton);   // already the default: nothing
        QCOMPARE(host.emitted.size(), before + 1);

        tabs->setCurrentIndex(1);
        comboOf(combos.at(2))->setCurrentIndex(1);
        QCOMPARE(lastData(host), QStringLiteral("63D9"));
        QPushButton *factory = nullptr;
        for (QPushButton *b : form->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("Factory"))
                factory = b;
        QCOMPARE(factory->height(), 25);
        QTest::mouseClick(factory, Qt::LeftButton);
        QCOMPARE(lastData(host), QStringLiteral("62D9"));

        // What the project holds: the image, the untouched key, nothing more.
        const TData stored = record(fuse);
        QCOMPARE(stored.value(REG_DATA).toString(), QStringLiteral("62D9"));
        QCOMPARE(stored.value("keep").toString(), QStringLiteral("me"));
        QVERIFY(dataPrj.isModified());
        for (const TData &r : host.emitted)
            QCOMPARE(keysOf(r), QStringList({REG_DATA, REC_ID_CMD}));

        // A form shown and deleted without an edit leaves the project alone.
        dataPrj.resetModified();
        form.reset();
        Form again = build(markup, "62D9", "62D9");
        host.host(again.get());
        again.reset();
        QVERIFY(!dataPrj.isModified());
    }

    // A failing line ends the mark-up and is logged as listed; what stands
    // before it keeps working, without the first image.
    void failures_data()
    {
        QTest::addColumn<QStringList>("markup");
        QTest::addColumn<int>("failing");
        QTest::addColumn<int>("items");
        const QString ok = QStringLiteral("ckl|01|-|e|-|Bit0|");
        QTest::newRow("no lines") << QStringList() << -1 << 0;
        QTest::newRow("tab+ without tabs+") << QStringList{"frm+", ok, " tab+|Page"} << 2 << 1;
        QTest::newRow("lb without container") << QStringList{"lb|text"} << 0 << 0;
        QTest::newRow("cbit in a frame") << QStringList{"frm+", ok, "cbit|01|x"} << 2 << 1;
        QTest::newRow("ckl of 5 parts") << QStringList{"frm+", ok, "ckl|01|-|e|-"} << 2 << 1;
        QTest::newRow("grp+ without title") << QStringList{"frm+", ok, "grp+"} << 2 << 1;
        QTest::newRow("grp+ of 3 parts") << QStringList{"frm+", ok, "grp+|a|b"} << 2 << 1;
        QTest::newRow("lb of 3 parts") << QStringList{"frm+", ok, "lb|a|b"} << 2 << 1;
        QTest::newRow("frm- on empty stack") << QStringList{"frm+", ok, "frm-", "frm-"} << 3 << 1;
        QTest::newRow("tabs- without tabs") << QStringList{"frm+", ok, "tabs-"} << 2 << 1;
        QTest::newRow("btn of 4 parts") << QStringList{"frm+", ok, "btn|01|21|x"} << 2 << 1;
        QTest::newRow("cbh+ of 2 parts") << QStringList{"frm+", ok, "cbh+|01"} << 2 << 1;
        QTest::newRow("cbit of 2 parts")
            << QStringList{"frm+", ok, "cbl+|01|L", "cbit|01"} << 3 << 2;
        QTest::newRow("edr of 4 parts") << QStringList{"frm+", ok, "edr|01|ro|-1"} << 2 << 1;
        QTest::newRow("hor+ outside") << QStringList{"tabs+", "hor+"} << 1 << 0;
        QTest::newRow("pnl+ outside") << QStringList{"pnl+"} << 0 << 0;
        QTest::newRow("unknown token") << QStringList{"frm+", ok, "chk|01"} << 2 << 1;
        QTest::newRow("tokens are case-sensitive") << QStringList{"FRM+"} << 0 << 0;
        QTest::newRow("an empty line") << QStringList{"frm+", ok, ""} << 2 << 1;
        QTest::newRow("pop tokens need not match")
            << QStringList{"frm+", "grp+|g", ok, "pnl-", "hor-", "lb|after"} << 5 << 1;
        // Masks and values are whole bytes of hex digits: nothing is re-aligned.
        QTest::newRow("ckl mask of one digit") << QStringList{"frm+", ok, "ckl|1|-|e|-|B|"} << 2 << 1;
        QTest::newRow("edr mask with prefix") << QStringList{"frm+", ok, "edr|0x01|ro|-1|E"} << 2 << 1;
        QTest::newRow("btn value stray letter") << QStringList{"frm+", ok, "btn|0G|21|x|t"} << 2 << 1;
        QTest::newRow("cbit value odd") << QStringList{"frm+", ok, "cbl+|01|L", "cbit|001|x"} << 3 << 2;
        QTest::newRow("cbl+ mask odd") << QStringList{"frm+", ok, "cbl+|011|L"} << 2 << 1;
        QTest::newRow("extra parts ignored")
            << QStringList{"frm+|x", "hor+|y", ok, "edl|01||-1|E|more", "hor-|z", "frm-|w"} << -2 << 2;
    }

    void failures()
    {
        QFETCH(QStringList, markup);
        QFETCH(int, failing);
        QFETCH(int, items);
        Form form = build(markup, "01", "00", false);
        const QString log = readLog();
        if (failing == -2) {
            QVERIFY2(log.isEmpty(), qPrintable(log));
        } else {
            const QString line = failing < 0 ? QString() : markup.at(failing);
            QCOMPARE(log.count(QStringLiteral("DevCfg:")), 1);
            QVERIFY2(log.endsWith(QStringLiteral(" error DevCfg: %1\n").arg(line)), qPrintable(log));
        }
        QCOMPARE(form->findChildren<IFormDevCfgBase *>().size(), items);
        FormHost host;
        QVERIFY(host.host(form.get()));
        host.store = false;
        if (auto *bit0 = box(form.get(), "Bit0")) {
            // Built data: shown; failed: the initial state until a change.
            QCOMPARE(checkOf(bit0)->isChecked(), failing == -2);
            click(bit0);
            QCOMPARE(host.emitted.size(), 1);
            QCOMPARE(lastData(host), failing == -2 ? QStringLiteral("00") : QStringLiteral("01"));
        }
    }

    // Images that are not whole bytes are never re-aligned: a stored image
    // shows the default instead, a default is logged and the image keeps
    // its length, a pushed text changes nothing; a short or emptied hex
    // entry keeps the stored digits after it.
    void imagesNotWhole_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("byDefault");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("logged");
        QTest::newRow("image of an odd digit") << "62D9F" << "62D9FF" << "62D9FF" << "";
        QTest::newRow("image with a stray letter") << "62D9FG" << "62D9FF" << "62D9FF" << "";
        QTest::newRow("image with blanks and lower case") << "e2 d9 ff" << "62D9FF" << "E2D9FF" << "";
        QTest::newRow("default of an odd digit") << "E2D9FF" << "62D9F" << "E2D9FF" << "62D9F";
    }

    void imagesNotWhole()
    {
        QFETCH(QString, data);
        QFETCH(QString, byDefault);
        QFETCH(QString, shown);
        QFETCH(QString, logged);
        const QStringList markup{"frm+", "ckl|01|-|e|-|Bit0|", "frm-"};
        Form form = build(markup, data, byDefault);
        QCOMPARE(hexShown(form.get()), shown);
        const QString log = readLog();
        if (logged.isEmpty())
            QVERIFY2(log.isEmpty(), qPrintable(log));
        else
            QVERIFY2(log.endsWith(QStringLiteral(" error DevCfg: %1\n").arg(logged)), qPrintable(log));
        FormHost host;
        QVERIFY(host.host(form.get()));
        host.store = false;
        for (const char *pushed : {"0G0000", "12345", "AB CD E"})
            form->setData(QLatin1String(pushed));
        QCOMPARE(host.emitted.size(), 0);
        QCOMPARE(hexShown(form.get()), shown);
        Form plain = build(markup, data, byDefault, false);
        FormHost plainHost;
        QVERIFY(plainHost.host(plain.get()));
        plainHost.store = false;
        plain->setData(QStringLiteral("0G0000"));
        QCOMPARE(plainHost.emitted.size(), 0);

        // Select the field, delete, Return: nothing is stored, nor is a
        // partial entry; a whole one is stored as typed.
        struct Entry
        {
            const char *typed;
            const char *stored;  // null: nothing emitted
        } const entries[] = {{"", nullptr}, {"1", nullptr}, {"abc", nullptr}, {"a2d9fe", "A2D9FE"}, {"", nullptr}};
        QString expected = shown;
        QLineEdit *line = lineOf(form->findChild<TWgtEditStrHex *>());
        for (const Entry &e : entries) {
            host.emitted.clear();
            line->setFocus();
            QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(line, Qt::Key_Delete);
            QTest::keyClicks(line, QLatin1String(e.typed));
            QTest::keyClick(line, Qt::Key_Return);
            if (e.stored) {
                expected.replace(0, int(qstrlen(e.stored)), QLatin1String(e.stored));
                QCOMPARE(host.emitted.size(), 1);
                QCOMPARE(lastData(host), expected);
            } else {
                QCOMPARE(host.emitted.size(), 0);
            }
            QCOMPARE(line->text(), expected);
            QCOMPARE(checkOf(box(form.get(), "Bit0"))->isChecked(), bool(QByteArray::fromHex(expected.toLatin1()).at(0) & 1));
        }
    }

    // The image arithmetic of the items and the form.
    void itemsAndImage_data()
    {
        QTest::addColumn<QStringList>("markup");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("byDefault");
        QTest::addColumn<QString>("label");     // check box to click, or button text
        QTest::addColumn<bool>("checked");      // the box before the click
        QTest::addColumn<QString>("emitted");
        QTest::newRow("two-bit box over one set bit: unchecking clears both")
            << QStringList{"frm+", "ckl|0C|-|e|-|B|"} << "04" << "00" << "B" << true << "00";
        QTest::newRow("two-bit box over no set bit: checking sets both")
            << QStringList{"frm+", "ckl|0C|-|e|-|B|"} << "F3" << "00" << "B" << false << "FF";
        QTest::newRow("inverted box checked on a 0 bit")
            << QStringList{"frm+", "ckl|01|i|e|-|B|"} << "FE" << "00" << "B" << true << "FF";
        QTest::newRow("inverted box unchecked on a 1 bit")
            << QStringList{"frm+", "ckl|01|i|e|-|B|"} << "FF" << "00" << "B" << false << "FE";
        QTest::newRow("short image padded")
            << QStringList{"frm+", "ckl|0001|-|e|-|B|"} << "12" << "0000" << "B" << false << "1201";
        QTest::newRow("short image takes the default's bytes, not zeros")
            << QStringList{"frm+", "ckl|01|-|e|-|B|"} << "12" << "00FFD9" << "B" << false << "13FFD9";
        QTest::newRow("long image cut")
            << QStringList{"frm+", "ckl|01|-|e|-|B|"} << "1234" << "00" << "B" << false << "13";
        QTest::newRow("mask longer than the image grows it")
            << QStringList{"frm+", "ckl|000080|-|e|-|B|"} << "12" << "00" << "B" << false << "120080";
        QTest::newRow("button of one byte")
            << QStringList{"frm+", "btn|A5|21|Set|tip"} << "0F0F" << "0000" << "Set" << false << "A50F";
        QTest::newRow("button of two bytes")
            << QStringList{"frm+", "btn|00FF|21|Set|tip"} << "1234" << "0000" << "Set" << false << "00FF";
    }

    void itemsAndImage()
    {
        QFETCH(QStringList, markup);
        QFETCH(QString, data);
        QFETCH(QString, byDefault);
        QFETCH(QString, label);
        QFETCH(bool, checked);
        QFETCH(QString, emitted);
        Form form = build(markup, data, byDefault);
        FormHost host;
        host.store = false;
        QVERIFY(host.host(form.get()));
        if (TFormDevCfgCheckBox *item = box(form.get(), label)) {
            QCOMPARE(checkOf(item)->isChecked(), checked);
            click(item);
        } else {
            for (QPushButton *b : form->findChildren<QPushButton *>())
                if (b->text() == label)
                    QTest::mouseClick(b, Qt::LeftButton);
        }
        QCOMPARE(host.emitted.size(), 1);
        QCOMPARE(lastData(host), emitted);
        QCOMPARE(hexShown(form.get()), emitted);
    }

    // Building shows the first image without writing it: a box over bits
    // only partly set, or an inverted one, leaves them as they are when
    // another item changes.
    void firstImageIsNotRewritten()
    {
        const QStringList markup{"frm+", "ckl|0C|-|e|-|Pair|", "ckl|03|i|e|-|Low|",
                                 "ckl|10|-|e|-|Other|"};
        for (const bool showEdit : {true, false}) {
            Form form = build(markup, "05", "00", showEdit);
            FormHost host;
            host.store = false;
            QVERIFY(host.host(form.get()));
            QVERIFY(checkOf(box(form.get(), "Pair"))->isChecked());
            QVERIFY(checkOf(box(form.get(), "Low"))->isChecked());
            click(box(form.get(), "Other"));
            QCOMPARE(lastData(host), QStringLiteral("15"));
        }
    }

    void comboChoices()
    {
        // Bits outside the mask are written too; the later of two equal
        // choices is selected; an edit shows only masked bytes.
        Form form = build({"frm+", "cbl+|03|Mode", "cbit|01|one", "cbit|01|uno", "cbit|82|two",
                           "cbl-", "edr|FF00|ro|0|Hi"},
                          "1234", "0000");
        FormHost host;
        host.store = false;
        QVERIFY(host.host(form.get()));
        auto *combo = form->findChild<TComboBox *>();
        QCOMPARE(combo->currentIndex(), -1);   // two-byte image, one-byte choices
        QCOMPARE(form->findChild<TFormDevCfgEditLabel *>()->findChild<QLineEdit *>()->text(),
                 QStringLiteral("12"));
        combo->setCurrentIndex(2);
        QCOMPARE(lastData(host), QStringLiteral("9234"));
        Form one = build({"frm+", "cbl+|03|Mode", "cbit|01|one", "cbit|01|uno", "cbl-"}, "FD",
                         "00");
        QCOMPARE(one->findChild<TComboBox *>()->currentIndex(), 1);
        // A combo item is a container too.
        Form nested = build({"frm+", "cbtc+|01|Top", "cbit|00|a", "cbit|01|b", "lb|inside"}, "01",
                            "00");
        QCOMPARE(nested->findChild<TFormDevCfgComboBoxLabel *>()
                     ->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly).size(),
                 2);
        QVERIFY(readLog().isEmpty());
    }

    void tabsGoToTheMainLayout()
    {
        Form form = build({"frm+", "tabs+", "tab+|One", "lb|in the tab"}, "00", "00");
        auto *layout = qobject_cast<QVBoxLayout *>(form->layout());
        QCOMPARE(layout->count(), 3);   // hex row, frame, tabs
        QVERIFY(qobject_cast<QScrollArea *>(layout->itemAt(1)->widget()));
        QVERIFY(qobject_cast<QTabWidget *>(layout->itemAt(2)->widget()));
        QVERIFY(form->findChild<QTabBar *>()->isHidden());   // one tab
    }

    // The four /Interface settings over the four colour modes.
    void colours_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<int>("painted0");   // 0 normal, 1 warning, 2 alarm; bit 0
        QTest::addColumn<int>("painted1");   // bit 1
        for (const bool w : {true, false})
            for (const bool a : {true, false}) {
                const QString tag = QStringLiteral(" w%1 a%2").arg(w).arg(a);
                QTest::newRow(qPrintable("w" + tag)) << "w" << w << a << (w ? 1 : 0) << 0;
                QTest::newRow(qPrintable("W" + tag)) << "W" << w << a << 0 << (w ? 1 : 0);
                QTest::newRow(qPrintable("a" + tag)) << "a" << w << a << (a ? 2 : 0) << 0;
                QTest::newRow(qPrintable("A" + tag)) << "A" << w << a << 0 << (a ? 2 : 0);
                QTest::newRow(qPrintable("-" + tag)) << "-" << w << a << 0 << 0;
            }
    }

    void colours()
    {
        QFETCH(QString, mode);
        QFETCH(bool, warning);
        QFETCH(bool, alarm);
        QFETCH(int, painted0);
        QFETCH(int, painted1);
        appData.cmdParamEnableColorWarning = warning;
        appData.cmdParamEnableColorAlarm = alarm;
        const QColor colours[] = {QColor(), appData.cmdParamColorWarning, appData.cmdParamColorAlarm};
        for (const bool inverted : {false, true}) {
            const QString line = QStringLiteral("ckl|01|%1|e|%2|L|").arg(inverted ? "i" : "-", mode);
            Form form = build({"frm+", line}, "00", "00");
            TFormDevCfgCheckBox *item = box(form.get(), "L");
            const QColor normal = QApplication::palette().color(QPalette::WindowText);
            auto shown = [&] { return item->findChild<TWgtLabelBtn *>()->palette().color(QPalette::WindowText); };
            QCOMPARE(shown(), painted0 ? colours[painted0] : normal);
            click(item);
            QCOMPARE(shown(), painted1 ? colours[painted1] : normal);
        }
        appData.cmdParamEnableColorWarning = true;
        appData.cmdParamEnableColorAlarm = true;
    }

    // Data a run read comes back only to the form of that very command; an
    // equal image emits nothing, with or without the hex row.
    void pushBack()
    {
        for (const bool showEdit : {true, false}) {
            Form form = build({"frm+", "ckl|01|-|e|-|B|"}, "00", "00", showEdit, 5);
            FormHost host;
            host.store = false;
            QVERIFY(host.host(form.get()));
            QVERIFY(!pushDevCfgData(form.get(), {{REC_ID_CMD, 6}, {REG_DATA, "01"}}));
            TFormDevEmpty other;
            QVERIFY(!pushDevCfgData(&other, {{REC_ID_CMD, 5}, {REG_DATA, "01"}}));
            QVERIFY(host.emitted.isEmpty());
            QVERIFY(!checkOf(box(form.get(), "B"))->isChecked());
            QVERIFY(pushDevCfgData(form.get(), {{REC_ID_CMD, 5}, {REG_DATA, "01"}}));
            QCOMPARE(host.emitted.size(), 1);
            QCOMPARE(lastData(host), QStringLiteral("01"));
            QVERIFY(checkOf(box(form.get(), "B"))->isChecked());
            QVERIFY(pushDevCfgData(form.get(), {{REC_ID_CMD, 5}, {REG_DATA, "01"}}));
            QCOMPARE(host.emitted.size(), 1);
        }
    }
};

QTEST_MAIN(TestMarkupForm)
#include "test_markup_form.moc"
