#include <QtTest>

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/helpers.h"
#include "gui/widgets/TWgtEditDec.h"
#include "gui/widgets/TWgtEditDec2Def.h"
#include "gui/widgets/TWgtEditDec64.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "gui/widgets/TWgtEditDoubleDef.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtEditHex.h"
#include "gui/widgets/TWgtEditHex64.h"
#include "gui/widgets/TWgtEditHexDec.h"
#include "gui/widgets/TWgtEditHexDec64.h"

#include "support/ModalAnswer.h"
#include "support/edit_test_util.h"

namespace {
QPushButton *buttonOf(QWidget *w)
{
    return w->findChild<QPushButton *>();
}
}

class TestCompositeEdits : public QObject
{
    Q_OBJECT
private slots:
    void decDefDefaultButton();
    void dec2DefAndDoubleDef();
    void hexDecStaysPaired();
    void hexDecTexts();
    void hexDec64();
    void fileNameChosenFile();
    void fileNameStartDirectory();
    void cleanup() { finishModalAnswers(); }
    void fileNameRequired();
    void fileNameDialogCancelled();
};

void TestCompositeEdits::decDefDefaultButton()
{
    TWgtEditDecDef edit(3);
    edit.setDefault(50);
    // A range set later: the default 50 is forced into it (its negation
    // -50 is no better), so the button gives 10.
    edit.setRange(0, 10);
    QSignalSpy spy(&edit, &TWgtEditDecDef::valueChanged);
    QTest::mouseClick(buttonOf(&edit), Qt::LeftButton);
    QCOMPARE(edit.value(), 10);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 10);
    // Once more: the value is already there, no signal.
    QTest::mouseClick(buttonOf(&edit), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    // The '*' key of the inner edit gives the same default.
    edit.setValue(2);
    press(&edit, Qt::Key_Asterisk);
    QCOMPARE(edit.value(), 10);
    QCOMPARE(spy.count(), 3);

    edit.setEditToolTip("0..10 ms");
    edit.setDefaultToolTip("Default 50 ms");
    QCOMPARE(buttonOf(&edit)->toolTip(), QString("Default 50 ms"));
    QCOMPARE(edit.findChild<TWgtEditDec *>()->toolTip(), QString("0..10 ms"));
}

void TestCompositeEdits::dec2DefAndDoubleDef()
{
    TWgtEditDec2Def ranged(1);
    ranged.addRange(1, 5);
    ranged.addRange(10, 20);
    ranged.setDefault(8);
    QSignalSpy rangedSpy(&ranged, &TWgtEditDec2Def::valueChanged);
    QTest::mouseClick(buttonOf(&ranged), Qt::LeftButton);
    QCOMPARE(ranged.value(), 10);
    QCOMPARE(rangedSpy.count(), 1);

    TWgtEditDoubleDef volts(3.3, 1);
    volts.setRange(1.8, 5.0);
    volts.setDefault(5.0);
    QSignalSpy voltsSpy(&volts, &TWgtEditDoubleDef::valueChanged);
    enter(&volts, "4.24");   // refused, never rounded
    QCOMPARE(volts.value(), 3.3);
    enter(&volts, "4.2");
    QCOMPARE(lineOf(&volts)->text(), QString("4.2"));
    QTest::mouseClick(buttonOf(&volts), Qt::LeftButton);
    QCOMPARE(volts.value(), 5.0);
    QCOMPARE(voltsSpy.count(), 2);
    QCOMPARE(voltsSpy.at(1).at(0).toDouble(), 5.0);
}

void TestCompositeEdits::hexDecStaysPaired()
{
    TWgtEditHexDec pair(0x0A);
    pair.setRange(0, 255);
    auto *hex = pair.findChild<TWgtEditHex *>();
    auto *dec = pair.findChild<TWgtEditDec *>();
    QSignalSpy spy(&pair, &TWgtEditHexDec::valueChanged);

    // Entries outside the range are refused in either edit.
    enter(dec, "300");
    enter(dec, "-7");
    enter(hex, "100");
    QCOMPARE(pair.value(), 0x0A);
    QCOMPARE(hex->value(), 0x0A);
    QCOMPARE(spy.count(), 0);

    enter(dec, "255");
    QCOMPARE(pair.value(), 255);
    QCOMPARE(hex->value(), 255);
    QCOMPARE(lineOf(hex)->text(), QString("0xFF"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 255);

    enter(hex, "07");
    QCOMPARE(dec->value(), 7);
    QCOMPARE(lineOf(hex)->text(), QString("0x07"));
    QCOMPARE(spy.count(), 2);

    enter(hex, "0A");
    QCOMPARE(spy.count(), 3);
    press(hex, Qt::Key_Up);
    QCOMPARE(lineOf(hex)->text(), QString("0x0B"));
    QCOMPARE(lineOf(dec)->text(), QString("11"));
    QCOMPARE(spy.count(), 4);
    QCOMPARE(spy.at(3).at(0).toInt(), 11);

    // The default: one signal when it changes the value, none when not.
    pair.setDefault(200);
    QTest::mouseClick(buttonOf(&pair), Qt::LeftButton);
    QCOMPARE(hex->value(), 200);
    QCOMPARE(dec->value(), 200);
    QCOMPARE(spy.count(), 5);
    QTest::mouseClick(buttonOf(&pair), Qt::LeftButton);
    press(dec, Qt::Key_Asterisk);
    press(hex, Qt::Key_Asterisk);
    QCOMPARE(spy.count(), 5);

    // A default the decimal edit negates into the range: the button gives
    // what typing it would, in both edits, with one signal.
    pair.setDefault(-7);
    QTest::mouseClick(buttonOf(&pair), Qt::LeftButton);
    QCOMPARE(dec->value(), 7);
    QCOMPARE(hex->value(), 7);
    QCOMPARE(spy.count(), 6);
    QCOMPARE(spy.at(5).at(0).toInt(), 7);
}

void TestCompositeEdits::hexDecTexts()
{
    TWgtEditHexDec pair(5);
    pair.setRange(0, 255);
    pair.setDefault(255);
    QCOMPARE(pair.findChild<TWgtEditHex *>()->toolTip(), QString("0x00..0xFF"));
    QCOMPARE(pair.findChild<TWgtEditDec *>()->toolTip(), QString("0..255"));
    QCOMPARE(buttonOf(&pair)->toolTip(), QString("Default: 0xFF [255]"));

    // A new range keeps the value and marks it in both edits.
    pair.setRange(16, 32);
    QCOMPARE(pair.value(), 5);
    QCOMPARE(pair.minimum(), 16);
    QCOMPARE(pair.maximum(), 32);
    QCOMPARE(baseOf(pair.findChild<TWgtEditHex *>()), warningColor());
    QCOMPARE(baseOf(pair.findChild<TWgtEditDec *>()), warningColor());
}

void TestCompositeEdits::hexDec64()
{
    TWgtEditHexDec64 pair(0);
    pair.setRange(0, 0x100000000LL);
    QCOMPARE(pair.findChild<TWgtEditHex64 *>()->toolTip(), QString("0x00..0x100000000"));
    QCOMPARE(pair.findChild<TWgtEditDec64 *>()->toolTip(), QString("0..4294967296"));
    pair.setDefault(0x10000);
    QCOMPARE(buttonOf(&pair)->toolTip(), QString("Default: 0x10000 [65536]"));

    QSignalSpy spy(&pair, &TWgtEditHexDec64::valueChanged);
    pair.setValue(0x123456789LL);
    QCOMPARE(pair.value(), 0x100000000LL);
    QCOMPARE(lineOf(pair.findChild<TWgtEditHex64 *>())->text(), QString("0x100000000"));
    QCOMPARE(spy.count(), 1);

    enter(pair.findChild<TWgtEditHex64 *>(), "ffff");
    QCOMPARE(pair.value(), qint64(0xFFFF));
    QCOMPARE(lineOf(pair.findChild<TWgtEditDec64 *>())->text(), QString("65535"));
    QCOMPARE(spy.count(), 2);

    // The maximum alone: the minimum stays.
    pair.setRange(16, 0x1000);
    pair.setMaximum(0x2000);
    QCOMPARE(pair.minimum(), qint64(16));
    QCOMPARE(pair.maximum(), qint64(0x2000));
    QTest::mouseClick(buttonOf(&pair), Qt::LeftButton);
    QCOMPARE(pair.value(), qint64(0x2000));
    QCOMPARE(spy.count(), 3);
}

void TestCompositeEdits::fileNameChosenFile()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString base = tmp.path() + "/work";
    TWgtEditFileName edit("File", QString());
    edit.setBasePath(base);
    edit.setFileDialog("Open", "*.bin", "bin");
    QSignalSpy spy(&edit, &TWgtEditFileName::signalChanged);

    edit.takeChosenFile(base + "/data/chip.hex");
    QCOMPARE(edit.fileName(), QString("data/chip.hex.bin"));
    edit.takeChosenFile(base + "/data/chip.bin");
    QCOMPARE(edit.fileName(), QString("data/chip.bin"));
    // The suffix is compared case-sensitively and whole ("rev.bin").
    edit.takeChosenFile(base + "/chip.BIN");
    QCOMPARE(edit.fileName(), QString("chip.BIN.bin"));
    edit.takeChosenFile(base + "/chip.rev.bin");
    QCOMPARE(edit.fileName(), QString("chip.rev.bin.bin"));
    // Outside the base folder: relative, climbing with "..".
    edit.takeChosenFile(tmp.path() + "/other/chip.bin");
    QCOMPARE(edit.fileName(), QString("../other/chip.bin"));
    QCOMPARE(spy.count(), 5);
    QCOMPARE(spy.at(0).at(0).toString(), QString("data/chip.hex.bin"));

    // Without a suffix the name is taken as chosen.
    edit.setFileDialog("Open", "*", QString());
    edit.takeChosenFile(base + "/chip.hex");
    QCOMPARE(edit.fileName(), QString("chip.hex"));

    // A name set by the program is reported like a typed one.
    spy.clear();
    edit.setFileName("x.bin");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("x.bin"));
    QTest::keyClicks(lineOf(&edit), "y");
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QString("x.biny"));
}

void TestCompositeEdits::fileNameStartDirectory()
{
    QTemporaryDir tmp;
    const QString base = QDir(tmp.path()).absolutePath();
    TWgtEditFileName edit("File", QString());
    edit.setBasePath(base);
    QCOMPARE(edit.startDirectory(), base);
    edit.setFileName("data/chip.bin");
    QCOMPARE(edit.startDirectory(), base + "/data");
    edit.setFileName("/opt/images/chip.bin");
    QCOMPARE(edit.startDirectory(), QString("/opt/images"));
}

void TestCompositeEdits::fileNameRequired()
{
    TWgtEditFileName edit("File", QString());
    const QColor before = baseOf(&edit);
    edit.setRequired(true);
    QCOMPARE(baseOf(&edit), warningColor());
    QTest::keyClicks(lineOf(&edit), "a");
    QCOMPARE(baseOf(&edit), paletteBaseColor());
    edit.setFileName(QString());
    QCOMPARE(baseOf(&edit), warningColor());
    // Clearing the flag leaves the last colour in place.
    edit.setRequired(false);
    QCOMPARE(baseOf(&edit), warningColor());
    edit.setFileName("b");
    QCOMPARE(baseOf(&edit), warningColor());

    // Not required: an empty name is no error.
    TWgtEditFileName optional("File", QString());
    optional.setFileName("x");
    optional.setFileName(QString());
    QCOMPARE(baseOf(&optional), before);
}

void TestCompositeEdits::fileNameDialogCancelled()
{
    QTemporaryDir tmp;
    const QString base = QDir(tmp.path()).absolutePath();
    TWgtEditFileName edit("File", QString());
    edit.setBasePath(base);
    edit.setFileDialog("Choose", "*.bin", "bin");
    QSignalSpy spy(&edit, &TWgtEditFileName::signalChanged);

    // The dialog opens in the base folder; cancelling it changes nothing.
    QString openedIn;
    QString caption;
    answerModal<QFileDialog>([&](QFileDialog *dialog) {
        openedIn = dialog->directory().absolutePath();
        caption = dialog->windowTitle();
        QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
        dialog->reject();
    });
    QTest::mouseClick(buttonOf(&edit), Qt::LeftButton);
    QCOMPARE(openedIn, base);
    QCOMPARE(caption, QString("Choose"));
    QCOMPARE(edit.fileName(), QString());
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(TestCompositeEdits)
#include "test_composite_edits.moc"
