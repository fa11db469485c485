// The supply forms driven as a user drives them: what each shows, exactly
// the keys and types it emits after an edit, its tool-tips, and no record
// from a default button that finds the value at its default.

#include "core/TLang.h"
#include "core/consts.h"
#include "gui/forms/TFormProgSupply.h"
#include "gui/widgets/TWgtEditDouble.h"
#include "gui/widgets/TWgtEditDoubleDef.h"
#include "support/NumberedLanguage.h"

#include <QCheckBox>
#include <QScopeGuard>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QList<TWgtEditDoubleDef *> editsOf(QWidget *form)
{
    return form->findChildren<TWgtEditDoubleDef *>(QString(), Qt::FindDirectChildrenOnly);
}

QLineEdit *lineOf(QWidget *edit)
{
    return edit->findChild<QLineEdit *>();
}

// The numeric edit inside, which holds the range tip.
QWidget *numberOf(QWidget *edit)
{
    return edit->findChild<TWgtEditDouble *>();
}

QPushButton *buttonOf(QWidget *edit)
{
    return edit->findChild<QPushButton *>();
}

void enter(QWidget *edit, const QString &text)
{
    QLineEdit *line = lineOf(edit);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
    QTest::keyClick(line, Qt::Key_Return);
}

QStringList labelsOf(QWidget *form)
{
    auto *layout = qobject_cast<QFormLayout *>(form->layout());
    QStringList labels;
    for (int row = 0; layout && row < layout->rowCount(); ++row)
        labels << qobject_cast<QLabel *>(layout->itemAt(row, QFormLayout::LabelRole)->widget())->text();
    return labels;
}

TData last(const QSignalSpy &spy)
{
    return spy.last().at(0).value<TData>();
}

} // namespace

class TestSupplyForms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<TData>("TData");
        QVERIFY(NumberedLanguage::load());
    }

    // Vcc with current and protection; Vpp likewise, the same code path
    // with its own keys and labels.
    void voltageCurrentAndProtection_data()
    {
        QTest::addColumn<bool>("vcc");
        QTest::newRow("vicc") << true;
        QTest::newRow("vipp") << false;
    }
    void voltageCurrentAndProtection()
    {
        QFETCH(bool, vcc);
        std::unique_ptr<QWidget> form;
        if (vcc)
            form.reset(new TFormProgSetVICC(7, 3.3, 15, false, 1.8, 5.5, 3.3, 0.05, 60, 50));
        else
            form.reset(new TFormProgSetVIPP(7, 3.3, 15, false, 1.8, 5.5, 3.3, 0.05, 60, 50));
        const char *voltageKey = vcc ? SUPPLY_VCC : SUPPLY_VPP;
        const char *currentKey = vcc ? SUPPLY_ICC : SUPPLY_IPP;
        QSignalSpy spy(form.get(), SIGNAL(signalChangedCmdParam(TData)));
        QCOMPARE(labelsOf(form.get()), vcc ? (QStringList{"Vcc, V:", "Icc, mA:", "OCP:"})
                                           : (QStringList{"Vpp, V:", "Ipp, mA:", "OCP:"}));
        const QList<TWgtEditDoubleDef *> edits = editsOf(form.get());
        QCOMPARE(edits.size(), 2);
        QCOMPARE(lineOf(edits.at(0))->text(), QStringLiteral("3.3"));
        QCOMPARE(lineOf(edits.at(1))->text(), QStringLiteral("15.000"));
        QCOMPARE(numberOf(edits.at(0))->toolTip(), QStringLiteral("1.8..5.5 V"));
        QCOMPARE(buttonOf(edits.at(0))->toolTip(), QStringLiteral("Default: 3.3 V"));
        QCOMPARE(numberOf(edits.at(1))->toolTip(), QStringLiteral("0.05..60 mA"));
        QCOMPARE(buttonOf(edits.at(1))->toolTip(), QStringLiteral("Default: 50 mA"));
        auto *box = form->findChild<QCheckBox *>();
        QCOMPARE(box->toolTip(), NumberedLanguage::text(366));
        QVERIFY(box->text().isEmpty());
        QVERIFY(spy.isEmpty());

        // Only the box changes: the whole record, values as texts.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, box->height() / 2));
        QCOMPARE(spy.size(), 1);
        const TData ticked{{REC_ID_CMD, 7}, {voltageKey, QStringLiteral("3.3")},
                           {currentKey, QStringLiteral("15.000")}, {SUPPLY_OCP, 1}};
        QCOMPARE(last(spy), ticked);
        QCOMPARE(last(spy).value(SUPPLY_OCP).userType(), int(QMetaType::Int));
        QCOMPARE(last(spy).value(voltageKey).userType(), int(QMetaType::QString));

        enter(edits.at(0), QStringLiteral("5"));
        QCOMPARE(last(spy).value(voltageKey), QVariant(QStringLiteral("5.0")));
        enter(edits.at(1), QStringLiteral("0.5"));
        QCOMPARE(last(spy).value(currentKey), QVariant(QStringLiteral("0.500")));
        QCOMPARE(last(spy).size(), 4);

        // The default button: once to the default, then nothing more.
        const int before = spy.size();
        QTest::mouseClick(buttonOf(edits.at(0)), Qt::LeftButton);
        QCOMPARE(spy.size(), before + 1);
        QCOMPARE(last(spy).value(voltageKey), QVariant(QStringLiteral("3.3")));
        QTest::mouseClick(buttonOf(edits.at(0)), Qt::LeftButton);
        QCOMPARE(spy.size(), before + 1);
    }

    void voltageAlone()
    {
        TFormProgSetVPP form(9, 12, 0, 13, 12);
        QSignalSpy spy(&form, SIGNAL(signalChangedCmdParam(TData)));
        QCOMPARE(labelsOf(&form), QStringList{"Vpp, V:"});
        const QList<TWgtEditDoubleDef *> edits = editsOf(&form);
        QCOMPARE(edits.size(), 1);
        QVERIFY(!form.findChild<QCheckBox *>());
        // The range over the whole edit, none of the line edit's own.
        QCOMPARE(edits.at(0)->toolTip(), QStringLiteral("0..13 V"));
        QVERIFY(numberOf(edits.at(0))->toolTip().isEmpty());
        QVERIFY(lineOf(edits.at(0))->toolTip().isEmpty());
        QCOMPARE(buttonOf(edits.at(0))->toolTip(), QStringLiteral("Default: 12 V"));

        QTest::mouseClick(buttonOf(edits.at(0)), Qt::LeftButton);
        QVERIFY(spy.isEmpty());
        enter(edits.at(0), QStringLiteral("12.5"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(last(spy), (TData{{REC_ID_CMD, 9}, {SUPPLY_VPP, QStringLiteral("12.5")}}));
        // Beyond the maximum: not taken, nothing emitted.
        enter(edits.at(0), QStringLiteral("20"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(edits.at(0)->value(), 12.5);

        // A description beyond what the requests carry: the edits stop at
        // the fields (25.5 V, 65.535 mA for Ipp), never below 0.
        TFormProgSetVIPP wide(9, 12, 1, true, -5, 40, 12, -1, 100, 2.5);
        const QList<TWgtEditDoubleDef *> wideEdits = editsOf(&wide);
        QCOMPARE(numberOf(wideEdits.at(0))->toolTip(), QStringLiteral("0..25.5 V"));
        QCOMPARE(numberOf(wideEdits.at(1))->toolTip(), QStringLiteral("0..65.535 mA"));
        QSignalSpy wideSpy(&wide, SIGNAL(signalChangedCmdParam(TData)));
        enter(wideEdits.at(1), QStringLiteral("90"));
        QVERIFY(wideSpy.isEmpty());
        enter(wideEdits.at(1), QStringLiteral("65.535"));
        QCOMPARE(last(wideSpy).value(SUPPLY_IPP), QVariant(QStringLiteral("65.535")));
    }

    // Set Vcc in the default interface, Russian: the decimal comma is taken
    // as well as the point, "3." is 3, and an entry with more decimals than
    // its field holds is refused, never rounded.
    void russianEntries()
    {
        lang.load(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/rus.lng"));
        const auto numbered = qScopeGuard([] { NumberedLanguage::load(); });
        const struct { int edit; const char *entry, *stored; } rows[] = {   // edit 0: Vcc, 1: Icc
            {0, "3,3", "3.3"}, {0, "5,0", "5.0"}, {1, "2,75", "2.750"}, {0, "3.", "3.0"},
            {0, "4.95", nullptr}, {0, "3.65", nullptr}, {0, "3.333", nullptr}, {0, "2,75", nullptr}};
        for (const auto &r : rows) {
            TFormProgSetVICC form(7, 1.8, 15, false, 1.8, 5.5, 3.3, 0.05, 60, 50);
            QSignalSpy spy(&form, SIGNAL(signalChangedCmdParam(TData)));
            enter(editsOf(&form).at(r.edit), QString::fromUtf8(r.entry));
            QCOMPARE(spy.isEmpty(), !r.stored);
            if (r.stored)
                QCOMPARE(last(spy).value(r.edit ? SUPPLY_ICC : SUPPLY_VCC).toString(), QString(r.stored));
            else
                QVERIFY(lineOf(editsOf(&form).at(r.edit))->toolTip().startsWith(QStringLiteral("Не принято: у ")));
        }
    }
};

QTEST_MAIN(TestSupplyForms)
#include "test_supply_forms.moc"
